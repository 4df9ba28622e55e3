#include "platform/RegularFile.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

int openRegularFile(const QString &path, int flags)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    struct stat status = {};
    if (fd >= 0 && ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return fd;
    }
    // ENXIO: a pipe nobody reads from, or a device without its driver.
    const int why = fd >= 0 || errno == ENXIO ? 0 : errno;
    if (fd >= 0)
        ::close(fd);
    errno = why;
    return -1;
}

std::optional<QByteArray> readRegularFile(const QString &path)
{
    const int fd = openRegularFile(path, O_RDONLY);
    if (fd < 0)
        return errno == ENOENT ? std::optional(QByteArray()) : std::nullopt;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return content;
}

} // namespace Platform
