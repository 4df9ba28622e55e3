#include "host/ScriptExit.h"

#include "platform/UnfinishedFiles.h"

#include <QFileInfo>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace ScriptExit {

namespace {

QtMessageHandler earlierHandler = nullptr;
// The script as the engine names it in its warnings, and as the run's messages name it.
QString scriptUrl;
QString scriptName;

void endOnHandlerError(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // A signal handler's error is a warning of the default category from the script's file;
    // the script's own console.warn() is of the category "js".
    if (type == QtWarningMsg && context.file && qstrcmp(context.category, "default") == 0 &&
        QLatin1String(context.file) == scriptUrl) {
        now(Failed,
            message.startsWith(scriptUrl) ? scriptName + message.mid(scriptUrl.size()) : message);
    }
    earlierHandler(type, context, message);
}

} // namespace

void now(Status status, const QString &message)
{
    // The download under way never reaches the code that would give its new version up.
    Platform::UnfinishedFiles::removeAll();
    std::fflush(stdout);
    std::fprintf(stderr, "vellix-host: %s\n", qUtf8Printable(message));
    std::fflush(stderr);
    std::_Exit(status);
}

QString describe(const QJSValue &error)
{
    const QString file = error.property(QStringLiteral("fileName")).toString();
    const QJSValue line = error.property(QStringLiteral("lineNumber"));
    QString where;
    if (!file.isEmpty())
        where = QFileInfo(file).fileName() + QLatin1Char(':');
    if (line.isNumber())
        where += QString::number(line.toInt()) + QLatin1Char(':');
    return where.isEmpty() ? error.toString() : where + QLatin1Char(' ') + error.toString();
}

QJSValue checked(const QJSValue &result)
{
    if (result.isError())
        now(Failed, describe(result));
    return result;
}

void endOnHandlerErrors(const QString &fileName)
{
    // The engine's own naming of a script file, which its warnings give as their file.
    scriptUrl = QUrl::fromLocalFile(fileName).toString();
    scriptName = QFileInfo(fileName).fileName();
    if (!earlierHandler)
        earlierHandler = qInstallMessageHandler(endOnHandlerError);
}

} // namespace ScriptExit
