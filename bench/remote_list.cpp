// The Remote Drive window over a server folder, for bench/remote_list_bench: logs in, enters the
// month folder of a remote directory, lists it into the window as the "Dn Del Rn" command
// does, shows the window and lets it paint, then prints the rows it shows and how long that
// took as one line of JSON.
//
// usage: remote_list --site HOST:PORT --user USER --rdir /DV/COURSE/ARCHIVE/MONTH [--passive]
//                    (password from $VELLIX_PASSWORD)

#include "BenchLogin.h"
#include "course/LocalPaths.h"
#include "course/ServerFolders.h"
#include "course/SharedClient.h"
#include "course/SharedState.h"
#include "lists/frmServer.h"
#include "operations/SessionOpener.h"
#include "platform/UiRecorder.h"
#include "transport/cFTP.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A box would wait for a click that never comes: it is told, and the run fails.
    Platform::UiRecorder boxes;
    boxes.onBox = [](const Platform::UiRecorder::Box &box) {
        std::fprintf(stderr, "remote_list: box: %s | %s\n", qPrintable(box.title),
                     qPrintable(box.text));
    };
    QCommandLineParser parser;
    const BenchLogin login(parser);
    parser.process(app);

    if (!login.open("remote_list"))
        return 1;

    QElapsedTimer clock;
    clock.start();
    frmServer window;
    if (!window.RefreshList(u"C:\\Course\\"_s) || !boxes.boxes().isEmpty()) {
        std::fprintf(stderr, "remote_list: the window did not list the folder\n");
        return 1;
    }
    window.show();
    QCoreApplication::processEvents();
    const qint64 shownAtNs = clock.nsecsElapsed();
    std::printf("{\"rows\": %d, \"seconds\": %.3f}\n", window.model().count(),
                double(shownAtNs) / 1e9);
    Shared().FtpClient->CloseConnection();
    return 0;
}
