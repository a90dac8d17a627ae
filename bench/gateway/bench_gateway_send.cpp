// 1,000 sendSMS requests of 100 numbers each through libnelvogate.so against fakeservice on
// loopback. Prints the time per request above the 200 ms pause the library keeps before every
// request, the CPU time per request, and the process's peak memory around the library's use.
// Usage: bench_gateway_send [requests]
#include "nelvohttp.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr double kPauseMs = 200.0;

struct Service
{
    pid_t pid = -1;
    int port = 0;
};

Service startService()
{
    Service service;
    int out[2];
    if (pipe(out) != 0)
        return service;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    // Enough balance for every request: 100 numbers at 0.10 each.
    char *argv[] = {
        const_cast<char *>(FAKESERVICE_PATH), const_cast<char *>("--port"),    const_cast<char *>("0"),
        const_cast<char *>("--balance"),      const_cast<char *>("100000000"), nullptr};
    if (posix_spawn(&service.pid, FAKESERVICE_PATH, &actions, nullptr, argv, environ) != 0)
        service.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    FILE *lines = fdopen(out[0], "r");
    char line[64] = "";
    if (lines && std::fgets(line, sizeof line, lines))
        std::sscanf(line, "listening %d", &service.port);
    if (lines)
        std::fclose(lines);
    return service;
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// CPU time the service spent, from /proc, so that its share of the wall time is visible.
double serviceCpuMs(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    FILE *file = std::fopen(path.c_str(), "r");
    if (!file)
        return 0;
    char text[1024] = "";
    const std::size_t length = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[length] = '\0';
    const char *fields = std::strrchr(text, ')');
    unsigned long utime = 0, stime = 0;
    if (!fields ||
        std::sscanf(fields + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2)
        return 0;
    return (utime + stime) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

std::u16string hundredNumbers()
{
    std::u16string phone;
    for (int i = 0; i < 100; ++i) {
        if (i)
            phone += u',';
        const std::string number = std::to_string(13800000000LL + i);
        phone.append(number.begin(), number.end());
    }
    return phone;
}

} // namespace

int main(int argc, char *argv[])
{
    const int requests = argc > 1 ? std::atoi(argv[1]) : 1000;
    const Service service = startService();
    if (service.pid <= 0 || service.port == 0) {
        std::fprintf(stderr, "cannot start fakeservice\n");
        return 1;
    }
    setenv("NELVOGATE_HOST", "127.0.0.1", 1);
    setenv("NELVOGATE_PORT", std::to_string(service.port).c_str(), 1);

    const std::u16string phone = hundredNumbers();
    const std::u16string content = u"【Nelvo】您的验证码是 123456，五分钟内有效。Your code is 123456.";
    const long rssBefore = peakRssKb();
    std::size_t heapPeak = 0;
    int failures = 0;

    nelvohttp gateway;
    const double cpuStart = cpuMs();
    const double serviceStart = serviceCpuMs(service.pid);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < requests; ++i) {
        const std::u16string result =
            gateway.sendSMS(u"demo", u"demo123", phone, content, u"", u"1", u"", u"1", u"", u"0");
        failures += result != u"0";
        heapPeak = std::max(heapPeak, mallinfo2().uordblks);
    }
    const double wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const double cpu = cpuMs() - cpuStart;
    const double serviceCpu = serviceCpuMs(service.pid) - serviceStart;

    kill(service.pid, SIGTERM);
    waitpid(service.pid, nullptr, 0);

    std::printf("requests:                      %d of 100 numbers (%d failed)\n", requests, failures);
    std::printf("wall time per request:         %.3f ms\n", wallMs / requests);
    std::printf("time per request above pause: %.3f ms (goal: under 2 ms)\n", wallMs / requests - kPauseMs);
    std::printf("CPU per request, library:      %.3f ms\n", cpu / requests);
    std::printf("CPU per request, fakeservice:  %.3f ms\n", serviceCpu / requests);
    std::printf("peak RSS before / after:       %ld KiB / %ld KiB (library's share %ld KiB)\n", rssBefore,
                peakRssKb(), peakRssKb() - rssBefore);
    std::printf("heap in use, highest seen:     %zu bytes\n", heapPeak);
    return failures == 0 ? 0 : 1;
}
