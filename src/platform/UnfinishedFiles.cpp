#include "platform/UnfinishedFiles.h"

#include "platform/EndingSignals.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace Platform {

namespace {

// A watchdog thread may end the program while the main thread writes.
std::mutex listLock;

std::set<QByteArray> &listed()
{
    static std::set<QByteArray> paths;
    return paths;
}

// The signal handler only writes the signal's number here; a thread of its own does the rest,
// which a handler may not (take a lock, unlink).
int signalPipe[2] = {-1, -1};

void onEndingSignal(int signal)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
    errno = savedErrno;
}

[[noreturn]] void endOnSignal()
{
    unsigned char number = 0;
    while (::read(signalPipe[0], &number, 1) != 1) {
    }
    UnfinishedFiles::removeAll();
    EndingSignals::endBy(number);
    // Where this thread blocks the signal, the program ends all the same, as a shell tells it.
    std::_Exit(128 + number);
}

} // namespace

void UnfinishedFiles::add(const QString &path)
{
    const std::lock_guard lock(listLock);
    listed().insert(QFile::encodeName(path));
}

void UnfinishedFiles::drop(const QString &path)
{
    const std::lock_guard lock(listLock);
    listed().erase(QFile::encodeName(path));
}

void UnfinishedFiles::removeAll()
{
    const std::lock_guard lock(listLock);
    for (const QByteArray &path : listed())
        ::unlink(path.constData());
    listed().clear();
}

void UnfinishedFiles::removeOnEndingSignals()
{
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC) != 0)
        return;
    std::thread(endOnSignal).detach();
    EndingSignals::handleBy(onEndingSignal);
}

} // namespace Platform
