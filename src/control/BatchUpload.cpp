#include "control/BatchUpload.h"

#include "course/LocalPaths.h"
#include "course/SharedState.h"
#include "platform/FileSystemObject.h"
#include "platform/Launcher.h"
#include "platform/Ui.h"
#include "platform/Windows1252.h"

#include <QStringList>

using Platform::Ui;

namespace {

const QLatin1String CrLf("\r\n");
const QLatin1Char Quote('"');
const QString Title = QStringLiteral("Batch Secure Ftp");
constexpr int MostLeadingSlashes = 3;

QString quoted(const QString &value)
{
    return Quote + value + Quote;
}

void tellFailure(const QString &text)
{
    Platform::setMousePointer(Ui::Pointer::Default);
    Platform::messageBox(text, Ui::Buttons::OK, Ui::Icon::Critical, Title);
}

} // namespace

QString BatchUpload::targetFolder(const QString &monthFolderPath)
{
    qsizetype start = 0;
    while (start < MostLeadingSlashes && start < monthFolderPath.size() &&
           monthFolderPath.at(start) == QLatin1Char('/'))
        ++start;
    return monthFolderPath.mid(start);
}

QString BatchUpload::script(const QString &targetFolder, const QString &localPath)
{
    return QLatin1String("cd ") + quoted(targetFolder) + CrLf + QLatin1String("put -u ") +
           quoted(localPath) + CrLf;
}

QString BatchUpload::commandLine(const QString &userId, const QString &password,
                                 const QString &scriptPath, const QString &siteName)
{
    const QStringList values = {
        QStringLiteral("hvsftp.exe"),
        QStringLiteral("-l"),
        userId,
        QStringLiteral("-pw"),
        password,
        QStringLiteral("-b"),
        scriptPath,
        QStringLiteral("-be"),
        QStringLiteral("-k"),
        QStringLiteral("-hv"),
        QStringLiteral("done"),
        siteName,
    };
    // Quoted by the rules the tool's command line is split by, so that it gets every value as
    // stored, quotes and backslashes included.
    QStringList parts;
    for (const QString &value : values)
        parts << Platform::Launcher::quoteArgument(value);
    return parts.join(QLatin1Char(' '));
}

QString BatchUpload::newScriptPath(const QString &hostFolder)
{
    return hostFolder + TempFileName() + QLatin1String(".tmp");
}

bool BatchUpload::writeScript(const QString &scriptPath, const QString &script)
{
    const auto file = Platform::FileSystemObject().CreateTextFile(scriptPath, true);
    if (!file)
        return false;
    const QByteArray bytes = Platform::Windows1252::encodeWithCharacterReferences(script + CrLf);
    return file->write(bytes) == bytes.size() && file->flush();
}

void BatchUpload::run(const QString &localPath)
{
    SharedState &state = Shared();
    const QString scriptPath = newScriptPath(state.HostFolder);
    if (!writeScript(scriptPath, script(targetFolder(state.MonthFolderPath), localPath))) {
        tellFailure(QStringLiteral("The batch script '") + scriptPath +
                    QStringLiteral("' could not be written."));
        return;
    }

    // The tool runs on its own; its outcome is its own to report.
    const Platform::Launcher::Result started = Platform::Launcher::start(
        commandLine(state.UserId, state.Password, scriptPath, state.SiteName));
    if (!started.started) {
        tellFailure(QStringLiteral("hvsftp.exe could not be started.") + CrLf + started.error);
        return;
    }

    Platform::setMousePointer(Ui::Pointer::Default);
    Platform::messageBox(QStringLiteral("Batch Secure Ftp website update has been launched."),
                         Ui::Buttons::OK, Ui::Icon::Information, Title);
}
