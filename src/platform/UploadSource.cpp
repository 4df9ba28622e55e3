#include "platform/UploadSource.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

UploadSource::Kind UploadSource::of(const QString &path)
{
    struct stat status
    {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return Kind::Missing;
    if (S_ISREG(status.st_mode))
        return Kind::File;
    if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode))
        return Kind::Stream;
    if (S_ISDIR(status.st_mode))
        return Kind::Folder;
    if (S_ISSOCK(status.st_mode))
        return Kind::Socket;
    return Kind::BlockDevice;
}

qint64 UploadSource::lastChange(const QFileInfo &file)
{
    return std::max(file.lastModified(), file.metadataChangeTime()).toSecsSinceEpoch();
}

QString UploadSource::refusedKind(Kind kind)
{
    switch (kind) {
    case Kind::Folder:
        return QStringLiteral("a folder");
    case Kind::Socket:
        return QStringLiteral("a socket");
    case Kind::BlockDevice:
        return QStringLiteral("a block device");
    case Kind::Missing:
    case Kind::File:
    case Kind::Stream:
        break;
    }
    return {};
}

bool UploadSource::open(QFile &file)
{
    constexpr QIODevice::OpenMode Mode = QIODevice::ReadOnly | QIODevice::Unbuffered;
    // Asked without waiting first: by its name a pipe would open only once a writer came.
    const int handle =
        ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    // The file's own open fails as well, and says why in its words.
    if (handle < 0)
        return file.open(Mode);
    struct stat status
    {
    };
    if (::fstat(handle, &status) != 0 || !S_ISFIFO(status.st_mode)) {
        // Anything else opens by its name, which the file keeps (a file opened on a handle
        // has none): resuming and the failures told look the file up by it.
        ::close(handle);
        return file.open(Mode);
    }
    // The pipe is read from the handle that does not wait: readSome waits for its bytes.
    if (file.open(handle, Mode, QFileDevice::AutoCloseHandle))
        return true;
    ::close(handle);
    return false;
}

qint64 UploadSource::readSome(QFileDevice &stream, char *data, qint64 size,
                              const std::function<bool()> &goesOn, QString *error)
{
    // The device's own read loops until it has the whole size: a slow writer's bytes would
    // wait for those still to come, and a cancel with them.
    constexpr int SliceMs = 100;
    pollfd waiting{stream.handle(), POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&waiting, 1, SliceMs);
        if (ready > 0) {
            const ssize_t read = ::read(stream.handle(), data, size_t(size));
            if (read >= 0)
                return read;
        }
        if (ready < 0 || (ready > 0 && errno != EAGAIN)) {
            if (errno != EINTR) {
                *error = QString::fromLocal8Bit(std::strerror(errno));
                return -1;
            }
        }
        if (goesOn && !goesOn())
            return Stopped;
    }
}

} // namespace Platform
