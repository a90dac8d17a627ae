// Helper of tst_gateway_log_processes: appends many three-line entries to the gateway log as fast
// as it can, so that two of them running at once would interleave without the shared lock.
// Usage: gateway_log_writer NAME COUNT; prints the log path first.
#include "gateway_log.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char *argv[])
{
    if (argc != 3)
        return 2;
    const std::string name = argv[1];
    const int count = std::atoi(argv[2]);
    std::printf("%s\n", nelvogate::gatewayLogPath().c_str());
    std::fflush(stdout);
    for (int i = 0; i < count; ++i) {
        const std::string tag = name + " " + std::to_string(i);
        nelvogate::writeLog("first " + tag + "\r\nsecond " + tag + "\r\nthird " + tag);
    }
    return 0;
}
