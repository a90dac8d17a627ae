// fakeservice: plays the operator's servers on 127.0.0.1 for tests and for ./run.
#include "fake_server.h"
#include "service_state.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

bool applyOptions(const QCommandLineParser &parser, ServiceState &state, QString &error)
{
    Account &account = state.account;
    if (parser.isSet("regcode"))
        account.regcode = parser.value("regcode").toUtf8();
    if (parser.isSet("password"))
        account.password = parser.value("password").toUtf8();
    if (parser.isSet("balance"))
        account.balanceCents = qRound64(parser.value("balance").toDouble() * 100);
    if (parser.isSet("channel-length"))
        account.channelLength = parser.value("channel-length").toInt();

    if (parser.isSet("fault")) {
        Fault fault;
        if (!Fault::parse(parser.value("fault").toLatin1(), fault.mode)) {
            error = QStringLiteral("unknown fault; one of: ") + Fault::names().join(u' ');
            return false;
        }
        fault.ms = parser.value("delay-ms").toInt();
        if (parser.isSet("fail-nth"))
            state.faults.failNth(fault, parser.value("fail-nth").toInt());
        else
            state.faults.setDefault(fault);
    }

    for (const QString &message : parser.values("incoming")) {
        const qsizetype colon = message.indexOf(u':');
        account.incoming.append({message.left(colon), QString(), QString(), message.mid(colon + 1)});
    }

    if (parser.isSet("newest-version"))
        state.soap.newestVersion = parser.value("newest-version");
    if (parser.isSet("package-url"))
        state.soap.packageUrl = parser.value("package-url");

    state.proxy.enabled = parser.isSet("proxy");
    if (parser.isSet("proxy-auth")) {
        const QString credentials = parser.value("proxy-auth");
        const qsizetype colon = credentials.indexOf(u':');
        state.proxy.user = credentials.left(colon).toUtf8();
        state.proxy.password = colon < 0 ? QByteArray() : credentials.mid(colon + 1).toUtf8();
    }
    if (parser.isSet("proxy-status-line"))
        state.proxy.statusLine = parser.value("proxy-status-line").toLatin1();
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fakeservice"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Loopback stand-in for the SMS operator's servers."));
    parser.addHelpOption();
    parser.addOptions({
        {"port", "Port to listen on; 0 picks a free one.", "port", "0"},
        {"journal", "Append every accepted message to FILE as a JSON line.", "file"},
        {"regcode", "Account code (default demo).", "text"},
        {"password", "Account password (default demo123).", "text"},
        {"balance", "Starting balance (default 1000.00).", "amount"},
        {"channel-length", "Characters per message of the channel (default 70).", "n"},
        {"incoming", "Queue an incoming message FROM:TEXT (repeatable).", "from:text"},
        {"fault", "Spoil every gateway answer this way (see README).", "mode"},
        {"delay-ms", "Milliseconds of the delay fault.", "ms", "0"},
        {"fail-nth", "Only the Nth gateway request gets the fault.", "n"},
        {"newest-version", "Newest client version the SOAP service offers (default 1.0.0).", "version"},
        {"package-url", "Package address GetNewVersion answers for older versions.", "url"},
        {"proxy", "Also act as an HTTP proxy answering CONNECT."},
        {"proxy-auth", "Require these basic credentials from proxy clients.", "user:password"},
        {"proxy-status-line", "Status line answering a granted CONNECT.", "line"},
    });
    parser.process(app);

    ServiceState state;
    state.journal = Journal(parser.value("journal"));
    QString error;
    if (!applyOptions(parser, state, error) || !state.journal.open()) {
        std::fprintf(stderr, "fakeservice: %s\n",
                     error.isEmpty() ? "cannot open the journal" : qPrintable(error));
        return 2;
    }

    FakeServer server(state);
    if (!server.listen(static_cast<quint16>(parser.value("port").toUInt()))) {
        std::fprintf(stderr, "fakeservice: cannot listen on port %s\n", qPrintable(parser.value("port")));
        return 1;
    }
    std::printf("listening %u\n", server.port());
    std::fflush(stdout);
    return app.exec();
}
