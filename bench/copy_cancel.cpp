// Copy Down in the Remote Drive window, stopped halfway, for bench/cancel_bench: logs in, lists
// the month folder in the window, checks one file, starts Copy Down and, that many milliseconds
// later, presses the window's Exit or the transfer window's Cancel. The press is a timer of the
// message loop, so it waits, as a click does, until the loop runs. Prints one line of JSON: how
// long after the press time Copy Down ended (wall, and CPU of the process), the bytes done by
// then, and whether it ended as cancelled with no file left behind.
//
// usage: copy_cancel --site HOST:PORT --user USER --rdir /DV/COURSE/ARCHIVE/MONTH --file NAME
//                    --cancel-after-ms MS [--press exit|cancel] [--passive]
//        (password from $VELLIX_PASSWORD; the local folder is C:\Bench\ of $VELLIX_PREFIX)

#include "BenchLogin.h"
#include "control/MessagePump.h"
#include "course/LocalPaths.h"
#include "course/ServerFolders.h"
#include "course/SharedClient.h"
#include "course/SharedState.h"
#include "course/StartupFolders.h"
#include "lists/frmServer.h"
#include "operations/SessionOpener.h"
#include "platform/DosPath.h"
#include "platform/UiRecorder.h"
#include "transport/cFTP.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

const QString LocalFolder = u"C:\\Bench\\"_s;

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The transfer window's Cancel, when the window is up.
QAbstractButton *transferCancel()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == u"frmTransfer"_s && window->isVisible())
            return window->findChild<QAbstractButton *>(u"cmdCancel"_s);
    }
    return nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const BenchLogin login(parser);
    const QCommandLineOption file(u"file"_s, u"the file to copy down"_s, u"NAME"_s);
    const QCommandLineOption cancelAfter(u"cancel-after-ms"_s, u"press then"_s, u"MS"_s);
    const QCommandLineOption pressed(u"press"_s, u"exit or cancel"_s, u"BUTTON"_s, u"exit"_s);
    parser.addOptions({file, cancelAfter, pressed});
    parser.process(app);

    // Every box is answered with its default button, and remembered.
    const Platform::UiRecorder boxes;
    FindWindowsDrive();
    // The control's own pump, as the host runs it.
    if (!login.open("copy_cancel", MessagePump()))
        return 1;

    frmServer window;
    const QString name = parser.value(file);
    int row = -1;
    for (int i = 0; window.RefreshList(LocalFolder) && i < window.model().count(); ++i) {
        if (window.model().row(i).name == name)
            row = i;
    }
    if (row < 0) {
        std::fprintf(stderr, "copy_cancel: %s is not listed\n", qPrintable(name));
        return 1;
    }
    window.model().setChecked(row, true);
    window.show();

    qint64 done = 0;
    qint64 doneAtPress = -1;
    QObject::connect(Shared().FtpClient.get(), &cFTP::TransferProgress,
                     [&done](qint64 count) { done = count; });
    const int cancelAfterMs = parser.value(cancelAfter).toInt();
    const bool cancelButton = parser.value(pressed) == u"cancel"_s;
    bool pressedCancel = false;
    double cpuAtPress = 0;
    QTimer::singleShot(cancelAfterMs, Qt::PreciseTimer, [&] {
        doneAtPress = done;
        cpuAtPress = cpuMs();
        QAbstractButton *cancel = cancelButton ? transferCancel() : nullptr;
        pressedCancel = cancel != nullptr;
        if (cancel)
            cancel->click();
        else
            window.button(FileListWindow::ExitButton)->trigger();
    });
    QElapsedTimer clock;
    clock.start();
    window.button(FileListWindow::CopyButton)->trigger();
    const double endedMs = double(clock.nsecsElapsed()) / 1e6;
    const double cpu = cpuMs() - cpuAtPress;
    Shared().FtpClient->CloseConnection();

    bool told = false;
    for (const Platform::UiRecorder::Box &box : boxes.boxes())
        told = told || box.text.contains(u"was cancelled by the user"_s);
    const bool leftBehind = QFile::exists(Platform::DosPath::toLinux(LocalFolder + name));
    const char *outcome = doneAtPress < 0       ? "finished before the press"
                          : !told || leftBehind ? "not cancelled"
                                                : "cancelled";
    std::printf("{\"outcome\": \"%s\", \"pressed\": \"%s\", \"stop_ms\": %.1f, "
                "\"stop_cpu_ms\": %.1f, \"bytes_at_press\": %lld, \"bytes_at_end\": %lld}\n",
                outcome, pressedCancel ? "cancel" : "exit", endedMs - cancelAfterMs,
                doneAtPress < 0 ? -1.0 : cpu, static_cast<long long>(doneAtPress),
                static_cast<long long>(done));
    return 0;
}
