#include "ConsolePrompts.h"

void ConsolePrompts::message(const QString &caption, const QString &text, Icon icon)
{
    std::FILE *out = icon == Icon::Warning || icon == Icon::Error ? stderr : stdout;
    std::fprintf(out, "%s: %s\n", qUtf8Printable(caption), qUtf8Printable(text));
    std::fflush(out);
}

bool ConsolePrompts::question(const QString &caption, const QString &text)
{
    std::printf("%s: %s 是\n", qUtf8Printable(caption), qUtf8Printable(text));
    std::fflush(stdout);
    return true;
}

QString ConsolePrompts::inputLine(const QString &, const QString &, const QString &initial, bool *ok)
{
    if (ok)
        *ok = false;
    return initial;
}
