#include "FuzzInput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace Fuzz {

void fail(const char *property, const QString &detail)
{
    std::fprintf(stderr, "wrong result: %s\n    %s\n", property, qUtf8Printable(detail));
    std::abort();
}

Fields takeFields(QByteArrayView input, const QList<QByteArray> &defaults)
{
    Fields taken;
    QByteArrayView rest = input;
    for (qsizetype i = 0; i < defaults.size(); ++i) {
        const qsizetype nul = rest.indexOf('\0');
        if (nul < 0)
            return {defaults, input};
        taken.fields.append(rest.first(nul).toByteArray());
        rest = rest.sliced(nul + 1);
    }
    taken.text = rest;
    return taken;
}

QString scratchFile(QByteArrayView content)
{
    // Writers of settings files sync them to disk; in memory that costs nothing.
    static const QTemporaryDir folder(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                          ? QStringLiteral("/dev/shm/vellix-fuzz-XXXXXX")
                                          : QDir::tempPath() +
                                                QStringLiteral("/vellix-fuzz-XXXXXX"));
    const QString path = folder.filePath(QStringLiteral("input"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content.data(), content.size()) != content.size())
        fail("the scratch file can be written", path);
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail("the scratch file can be read", path);
    return file.readAll();
}

} // namespace Fuzz
