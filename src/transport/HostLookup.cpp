#include "HostLookup.h"

#include "InternetError.h"
#include "platform/Interruption.h"

#include <QDeadlineTimer>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include <netdb.h>
#include <sys/socket.h>

namespace Ftp {

namespace {

// What the resolver's thread hands back. Shared: the caller may have given up and gone when
// the thread ends.
struct Answer
{
    std::mutex mutex;
    std::condition_variable arrived;
    bool done = false;
    QList<QHostAddress> addresses;
};

QList<QHostAddress> lookUp(const QByteArray &host)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    QList<QHostAddress> addresses;
    if (::getaddrinfo(host.constData(), nullptr, &hints, &found) != 0)
        return addresses;
    for (const addrinfo *entry = found; entry; entry = entry->ai_next)
        addresses.append(QHostAddress(entry->ai_addr));
    ::freeaddrinfo(found);
    return addresses;
}

} // namespace

QList<QHostAddress> HostLookup::resolve(const QString &host, std::chrono::milliseconds timeout,
                                        const WaitWatch &watch)
{
    m_error = InternetError::NoError;
    if (const QHostAddress numeric(host); !numeric.isNull())
        return {numeric};

    const auto answer = std::make_shared<Answer>();
    const QByteArray name = host.toUtf8();
    try {
        std::thread([answer, name] {
            QList<QHostAddress> addresses = lookUp(name);
            const std::lock_guard lock(answer->mutex);
            answer->addresses = std::move(addresses);
            answer->done = true;
            answer->arrived.notify_all();
        }).detach();
    } catch (const std::system_error &) {
        // No thread to be had: the caller waits for the resolver as it is.
        answer->addresses = lookUp(name);
        answer->done = true;
    }

    const int signalsBefore = Platform::Interruption::count();
    const QDeadlineTimer deadline(timeout);
    for (;;) {
        if (watch && !watch()) {
            m_error = InternetError::OperationCancelled;
            return {};
        }
        {
            // Not held while the watch runs the message loop.
            std::unique_lock lock(answer->mutex);
            const auto slice =
                std::min(std::chrono::milliseconds(deadline.remainingTime()), WatchSlice);
            if (answer->arrived.wait_for(lock, slice, [&answer] { return answer->done; })) {
                if (answer->addresses.isEmpty())
                    m_error = InternetError::NameNotResolved;
                return answer->addresses;
            }
        }
        if (Platform::Interruption::count() != signalsBefore) {
            m_error = InternetError::OperationCancelled;
            return {};
        }
        if (deadline.hasExpired()) {
            m_error = InternetError::NameNotResolved;
            return {};
        }
    }
}

} // namespace Ftp
