// The web space window's walk, without its window, for bench/space_bench: logs in, measures the
// five levels of a remote directory as the window's OK does (all ticked), and prints what it
// counted and how long it took as one line of JSON. With --stop-after-ms it presses Exit that
// long after the start instead, and prints how long after the press the walk ended.
//
// usage: space_walk --site HOST:PORT --user USER --rdir /DV/COURSE/ARCHIVE/MONTH [--passive]
//                   [--stop-after-ms MS]        (password from $VELLIX_PASSWORD)

#include "BenchLogin.h"
#include "course/LocalPaths.h"
#include "course/ServerFolders.h"
#include "course/SharedClient.h"
#include "course/SharedState.h"
#include "operations/SessionOpener.h"
#include "operations/WebSpace.h"
#include "transport/cFTP.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const BenchLogin login(parser);
    const QCommandLineOption stopAfter(u"stop-after-ms"_s, u"press Exit then"_s, u"MS"_s);
    parser.addOption(stopAfter);
    parser.process(app);

    if (!login.open("space_walk"))
        return 1;

    qint64 siteBytes = 0;
    int folders = 0;
    WebSpace space({
        [&folders] {
            ++folders;
            QCoreApplication::processEvents();
        },
        [](bool) {},
        [&siteBytes](WebSpace::Level level, qint64 bytes) {
            if (level == WebSpace::Site)
                siteBytes = bytes;
        },
    });

    // Exit is pressed when the timer is due; the walk sees the press at its next folder.
    const int stopAfterMs = parser.isSet(stopAfter) ? parser.value(stopAfter).toInt() : -1;
    if (stopAfterMs >= 0)
        QTimer::singleShot(stopAfterMs, Qt::PreciseTimer, [&space] { space.exitPressed(); });
    QElapsedTimer clock;
    clock.start();
    const WebSpace::Outcome outcome = space.measure({true, true, true, true, true});
    const qint64 endedAtNs = clock.nsecsElapsed();
    Shared().FtpClient->CloseConnection();

    const char *outcomes[] = {"measured", "stopped", "failed"};
    std::printf("{\"outcome\": \"%s\", \"bytes\": %lld, \"folders\": %d, \"seconds\": %.3f, "
                "\"stop_ms\": %.1f}\n",
                outcomes[int(outcome)], static_cast<long long>(siteBytes), folders,
                double(endedAtNs) / 1e9,
                stopAfterMs < 0 ? -1.0 : double(endedAtNs) / 1e6 - stopAfterMs);
    return outcome == WebSpace::Outcome::Failed ? 1 : 0;
}
