#include "platform/WholeFile.h"

#include <QSaveFile>

namespace Platform {

std::optional<QString> writeWholeFile(const QString &path, const QByteArray &content,
                                      std::optional<QFileDevice::Permissions> permissions)
{
    // Unbuffered, so that a write the disk refuses fails the write itself.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (permissions && !file.setPermissions(*permissions))
        return file.errorString();
    if (file.write(content) != content.size()) {
        // A short write leaves no error of its own: the disk took only part of the content.
        const QString why = file.error() != QFileDevice::NoError
                                ? file.errorString()
                                : QStringLiteral("The disk took only part of the file.");
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace Platform
