// vellix-host: a host application that places the Vellix control on a form.
#include "control/Vellix.h"
#include "host/AutoPilot.h"
#include "host/HostFunctionObject.h"
#include "host/HostOptions.h"
#include "host/HostWindow.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

// Saves a picture of the window once it has shown and laid out, then ends the program.
void scheduleScreenshot(HostWindow &window, const QString &path)
{
    QTimer::singleShot(0, &window, [&window, path] {
        QCoreApplication::processEvents();
        if (!window.grab().save(path, "PNG")) {
            std::fprintf(stderr, "vellix-host: cannot write %s\n", qPrintable(path));
            QCoreApplication::exit(1);
            return;
        }
        QCoreApplication::exit(0);
    });
}

} // namespace

int main(int argc, char **argv)
{
    // The arguments are checked before the window system is reached, so a bad command line
    // gets its usage line even where no display is available.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const HostOptions options = HostOptions::parse(arguments);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "vellix-host: %s\n%s\n", qPrintable(options.error),
                     qPrintable(HostOptions::usage()));
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vellix-host"));

    HostWindow window(options.bagPath);
    // What a host page hands the control so that uploads rebuild the archive catalogue.
    HostFunctionObject functionObject;
    if (options.loadFunc)
        window.control()->loadfunc(&functionObject);
    window.show();
    if (options.autoPilot) {
        QTimer::singleShot(0, &window, [&window, &options] {
            AutoPilot pilot(options.shotsPath);
            QCoreApplication::exit(pilot.run(window));
        });
    } else if (!options.screenshotPath.isEmpty()) {
        scheduleScreenshot(window, options.screenshotPath);
    }
    return app.exec();
}
