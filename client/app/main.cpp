#include "NelvoApplication.h"
#include "QtPrompts.h"
#include "StartUp.h"

int main(int argc, char **argv)
{
    NelvoApplication app(argc, argv);
    nelvo::installPrompts(std::make_unique<QtPrompts>());
    return RunNelvodesk();
}
