#include "host/ScriptExit.h"

#include "platform/UnfinishedFiles.h"

#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

namespace ScriptExit {

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

} // namespace ScriptExit
