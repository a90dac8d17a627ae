/* The C interface as a C program sees it: creation by identifier, the fixed texts, UTF-8 in and out,
 * and requests against a fakeservice started here (its path and the library come from the build). */
#include "nelvogate.h"

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

static int failures = 0;

static void expect_text(const char *what, char *got, const char *expected)
{
    if (got == NULL || strcmp(got, expected) != 0) {
        fprintf(stderr, "FAIL %s: got \"%s\", expected \"%s\"\n", what, got ? got : "(null)", expected);
        ++failures;
    }
    nelvogate_free(got);
}

static void expect(const char *what, int condition)
{
    if (!condition) {
        fprintf(stderr, "FAIL %s\n", what);
        ++failures;
    }
}

/* Starts fakeservice on a free port with one incoming message; returns its pid and port. */
static pid_t start_service(int *port)
{
    int out[2];
    if (pipe(out) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl(FAKESERVICE_PATH, FAKESERVICE_PATH, "--port", "0", "--incoming",
              "13800000009:\xe4\xbd\xa0\xe5\xa5\xbd", (char *)NULL);
        _exit(127);
    }
    close(out[1]);
    FILE *lines = fdopen(out[0], "r");
    char line[64] = "";
    *port = 0;
    if (lines && fgets(line, sizeof line, lines))
        sscanf(line, "listening %d", port);
    if (lines)
        fclose(lines);
    return pid;
}

int main(void)
{
    expect("unknown id gives NULL", nelvogate_create_object("Nelvogate.other") == NULL);
    expect("NULL id gives NULL", nelvogate_create_object(NULL) == NULL);

    const char *ids[] = {"Nelvogate.nelvohttp", "Nelvogate.nelvohttp.1",
                         "{63D04EB1-B93A-45DD-8033-1EAEBBE5F3BD}"};
    for (int i = 0; i < 3; ++i) {
        nelvohttp *object = nelvogate_create_object(ids[i]);
        expect(ids[i], object != NULL);
        nelvohttp_release(object);
    }

    int port = 0;
    pid_t service = start_service(&port);
    expect("fakeservice started", service > 0 && port > 0);
    char portText[16];
    snprintf(portText, sizeof portText, "%d", port);
    setenv("NELVOGATE_HOST", "127.0.0.1", 1);
    setenv("NELVOGATE_PORT", portText, 1);

    nelvohttp *gateway = nelvogate_create_object("Nelvogate.nelvohttp");
    expect_text("getversion", nelvohttp_getversion(gateway),
                "ver 2.0.0  support VC,delphi,VB,C#,power buileder ,asp, asp.net");
    expect("OnStartPage without context", nelvohttp_OnStartPage(gateway, NULL) != 0);
    expect("OnStartPage with context", nelvohttp_OnStartPage(gateway, &port) == 0);
    expect("OnEndPage", nelvohttp_OnEndPage(gateway) == 0);

    expect_text("check before sending",
                nelvohttp_sendSMS(gateway, NULL, "x", "1", "hi", NULL, NULL, NULL, NULL, NULL, NULL), "-1");
    expect_text("sendSMS",
                nelvohttp_sendSMS(gateway, "demo", "demo123", "13800000000", "\xe7\x9f\xad\xe4\xbf\xa1", "",
                                  "1", "", "1", "", "0"),
                "0");
    expect_text(
        "sendMMS",
        nelvohttp_sendMMS(gateway, "demo", "demo123", "13800000000", "hi", "", "1", "", "1", "", "1", "m1"),
        "0");
    expect_text("balanceCheck", nelvohttp_balanceCheck(gateway, "demo", "demo123"), "999.80");
    expect_text("recvSMS in UTF-8", nelvohttp_recvSMS(gateway, "demo", "demo123"),
                "1|13800000009||1||\xe4\xbd\xa0\xe5\xa5\xbd");
    expect_text("recvReport", nelvohttp_recvReport(gateway, "demo", "demo123"), "");
    expect_text("getchannellength", nelvohttp_getchannellength(gateway, "demo", "demo123"), "70");
    expect_text("chargeAdd", nelvohttp_chargeAdd(gateway, "demo", "demo123", "CARD0002", "87654321"), "0");
    expect_text("changePassword", nelvohttp_changePassword(gateway, "demo", "demo123", "12345678"), "0");
    expect_text("setProxy", nelvohttp_setProxy(gateway, "", 0, NULL, NULL),
                "\xe4\xbd\xbf\xe7\x94\xa8\xe4\xbb\xa3\xe7\x90\x86...");
    expect_text("through an unresolvable proxy", nelvohttp_balanceCheck(gateway, "demo", "12345678"), "-77");
    nelvohttp_release(gateway);

    if (service > 0) {
        kill(service, SIGTERM);
        waitpid(service, NULL, 0);
    }
    if (failures == 0)
        printf("c_api_test: all passed\n");
    return failures == 0 ? 0 : 1;
}
