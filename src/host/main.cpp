// vellix-host: a host application that places the Vellix control on a form.
#include "control/Vellix.h"
#include "host/HostAmbient.h"
#include "host/HostFunctionObject.h"
#include "host/HostOptions.h"
#include "host/HostWindow.h"
#include "host/ScriptHost.h"
#include "platform/UnfinishedFiles.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>

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

// The script's text: the file named, or the one --auto runs.
std::optional<QString> scriptSource(const HostOptions &options)
{
    if (options.autoPilot)
        return ScriptHost::autoPilotSource();
    QFile file(options.scriptPath);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "vellix-host: cannot read %s: %s\n", qPrintable(options.scriptPath),
                     qPrintable(file.errorString()));
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

} // namespace

int main(int argc, char **argv)
{
    // The arguments are checked before the window system is reached, so a bad command line
    // gets its usage even where no display is available.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const HostOptions options = HostOptions::parse(arguments);
    if (options.help) {
        std::printf("%s\n", qPrintable(HostOptions::usage()));
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "vellix-host: %s\n%s\n", qPrintable(options.error),
                     qPrintable(HostOptions::usage()));
        return 2;
    }
    std::optional<QString> source;
    if (options.scripted() && !(source = scriptSource(options)))
        return 2;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vellix-host"));
    Platform::UnfinishedFiles::removeOnEndingSignals();

    HostWindow window(options.bagPath);
    // What a host page hands the control so that uploads rebuild the archive catalogue.
    HostFunctionObject functionObject;
    if (options.loadFunc)
        window.control()->loadfunc(&functionObject);
    std::unique_ptr<ScriptHost> script;
    if (source) {
        // A script drives the form as its page runs, whatever mode the host was left in.
        window.hostAmbient()->setRunning(true);
        script = std::make_unique<ScriptHost>(
            window, ScriptHost::Settings{options.shotsPath, options.timeoutSeconds});
    }
    window.show();
    if (script) {
        const QString name = options.autoPilot ? QStringLiteral("auto.js")
                                               : QFileInfo(options.scriptPath).absoluteFilePath();
        script->start(*source, name);
    } else if (!options.screenshotPath.isEmpty()) {
        scheduleScreenshot(window, options.screenshotPath);
    }
    return app.exec();
}
