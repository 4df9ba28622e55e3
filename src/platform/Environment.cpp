#include "platform/Environment.h"

#include "platform/SystemFolders.h"

#include <QProcessEnvironment>

namespace Platform::Environment {

namespace {

bool hasEntry(const QStringList &entries, const QString &name)
{
    const QString prefix = name + QLatin1Char('=');
    return std::any_of(entries.cbegin(), entries.cend(), [&](const QString &entry) {
        return entry.startsWith(prefix, Qt::CaseInsensitive);
    });
}

} // namespace

QStringList entries()
{
    QStringList entries = QProcessEnvironment::systemEnvironment().toStringList();
    const std::pair<QString, QString> sessionEntries[] = {
        {QStringLiteral("ProgramFiles"), QStringLiteral("C:\\Program Files")},
        {QStringLiteral("SystemRoot"), SystemFolders::windowsDirectory()},
    };
    for (const auto &[name, value] : sessionEntries) {
        if (!hasEntry(entries, name))
            entries.append(name + QLatin1Char('=') + value);
    }
    return entries;
}

} // namespace Platform::Environment
