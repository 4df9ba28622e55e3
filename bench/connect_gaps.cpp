// One connect as the control's status window makes it, measured on its own thread: a timer
// ticks every millisecond beside it, and the longest gap between two ticks is how long the
// window could not repaint or take a click. With --cancel-after the user clicks Cancel then,
// and the time from that moment to the end of the connect is how soon Cancel took. --blocking
// leaves the message pump out, so the connect holds the thread as before the window could be
// cancelled. Run by bench/connect_bench, which measures the process's time and memory.
//
//   connect_gaps --site HOST:PORT --user USER [--tls] [--blocking] [--cancel-after MS]
//                [--reply-timeout MS]       (the password in $VELLIX_PASSWORD)
//
// Prints "longest_gap_ms=G cancel_ms=C connected=0|1" (C is -1 without a cancel). Exits 0
// when the connect ended as it should: connected without a cancel, not connected with one.

#include "control/MessagePump.h"
#include "transport/cFTP.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace std::chrono_literals;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption site(QStringLiteral("site"), QStringLiteral("Server."),
                                  QStringLiteral("HOST:PORT"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("User."),
                                  QStringLiteral("USER"));
    const QCommandLineOption tls(QStringLiteral("tls"), QStringLiteral("Require TLS."));
    const QCommandLineOption blocking(QStringLiteral("blocking"),
                                      QStringLiteral("No message pump while connecting."));
    const QCommandLineOption cancelAfter(QStringLiteral("cancel-after"),
                                         QStringLiteral("Cancel after MS."), QStringLiteral("MS"),
                                         QStringLiteral("-1"));
    const QCommandLineOption replyTimeout(QStringLiteral("reply-timeout"),
                                          QStringLiteral("Reply timeout in MS."),
                                          QStringLiteral("MS"), QStringLiteral("30000"));
    parser.addOptions({site, user, tls, blocking, cancelAfter, replyTimeout});
    parser.process(app);

    cFTP client;
    if (!parser.isSet(blocking))
        client.setHooks({.pumpMessages = MessagePump()});
    client.setTimeouts({20s, std::chrono::milliseconds(parser.value(replyTimeout).toInt()), 60s});
    client.setTlsMode(parser.isSet(tls) ? Ftp::TlsMode::Require : Ftp::TlsMode::Off);

    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });
    ticker.start(1);

    // The click comes when it is due; a thread that cannot take it sees it only afterwards.
    const int cancelMs = parser.value(cancelAfter).toInt();
    bool cancelled = false;
    if (cancelMs >= 0)
        QTimer::singleShot(cancelMs, Qt::PreciseTimer, [&cancelled] { cancelled = true; });

    lastTick = clock.nsecsElapsed();
    const qint64 start = lastTick;
    const bool connected =
        client.OpenConnection(parser.value(site), parser.value(user),
                              qEnvironmentVariable("VELLIX_PASSWORD"), [&] { return cancelled; });
    const qint64 end = clock.nsecsElapsed();
    longestGap = std::max(longestGap, end - lastTick);
    client.CloseConnection();

    const double cancelLatency = cancelMs >= 0 ? (end - start) / 1e6 - cancelMs : -1;
    std::printf("longest_gap_ms=%.1f cancel_ms=%.1f connected=%d\n", longestGap / 1e6,
                cancelLatency, connected ? 1 : 0);
    if (!connected && cancelMs < 0)
        std::fprintf(stderr, "connect_gaps: %s\n", qPrintable(client.GetLastErrorMessage()));
    return connected == (cancelMs < 0) ? 0 : 1;
}
