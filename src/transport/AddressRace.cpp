#include "AddressRace.h"

#include "HostLookup.h"
#include "InternetError.h"
#include "Poll.h"
#include "SocketAddress.h"

#include <cerrno>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

using namespace std::chrono;

namespace Ftp {

namespace {

// The connects under way. However the race ends, those still waiting are closed; the winner is
// taken out before.
class PendingConnects
{
public:
    PendingConnects() = default;
    ~PendingConnects()
    {
        for (const pollfd &each : m_entries)
            ::close(each.fd);
    }
    PendingConnects(const PendingConnects &) = delete;
    PendingConnects &operator=(const PendingConnects &) = delete;

    bool isEmpty() const { return m_entries.empty(); }
    void add(int fd) { m_entries.push_back({fd, POLLOUT, 0}); }

    // Waits until one of them connects or fails, as pollFor does.
    int wait(milliseconds timeout, const WaitWatch &watch)
    {
        return pollFor(m_entries, timeout, watch);
    }

    // After a wait: the descriptor of one that connected, taken out, or -1. Those that failed
    // are closed, and *failure is the system's error of the last of them.
    int takeSettled(int *failure)
    {
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            if (it->revents == 0) {
                ++it;
                continue;
            }
            const int fd = it->fd;
            it = m_entries.erase(it);
            int error = 0;
            socklen_t size = sizeof error;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                error = errno;
            if (error == 0)
                return fd;
            ::close(fd);
            *failure = error;
        }
        return -1;
    }

private:
    std::vector<pollfd> m_entries;
};

} // namespace

AddressRace::AddressRace(WaitWatch watch)
    : m_watch(std::move(watch))
{}

int AddressRace::connect(const QString &host, quint16 port, milliseconds timeout)
{
    // One deadline for the lookup and the connects: the user set one timeout for connecting.
    const QDeadlineTimer deadline(std::max(timeout, milliseconds::zero()));
    HostLookup lookup;
    const QList<QHostAddress> found = lookup.resolve(host, timeout, m_watch);
    if (found.isEmpty()) {
        m_error = lookup.error();
        m_systemError = m_error == InternetError::OperationCancelled ? ECANCELED : 0;
        return -1;
    }
    return race(attemptOrder(found), port, deadline);
}

int AddressRace::connect(const QList<QHostAddress> &addresses, quint16 port, milliseconds timeout)
{
    return race(attemptOrder(addresses), port,
                QDeadlineTimer(std::max(timeout, milliseconds::zero())));
}

QList<QHostAddress> AddressRace::attemptOrder(const QList<QHostAddress> &addresses)
{
    if (addresses.isEmpty())
        return {};
    QList<QHostAddress> first;
    QList<QHostAddress> other;
    for (const QHostAddress &address : addresses)
        (address.protocol() == addresses.first().protocol() ? first : other).append(address);
    QList<QHostAddress> order;
    for (qsizetype i = 0; i < std::max(first.size(), other.size()); ++i) {
        if (i < first.size())
            order.append(first.at(i));
        if (i < other.size())
            order.append(other.at(i));
    }
    return order;
}

int AddressRace::race(const QList<QHostAddress> &order, quint16 port,
                      const QDeadlineTimer &deadline)
{
    m_error = InternetError::NoError;
    m_systemError = 0;
    PendingConnects pending;
    qsizetype next = 0;
    QDeadlineTimer nextStart; // expired: the first attempt starts at once
    int lastFailure = ECONNREFUSED;
    for (;;) {
        if (m_watch && !m_watch())
            return fail(ECANCELED);
        if (deadline.hasExpired())
            return fail(ETIMEDOUT);

        if (next < order.size() && (pending.isEmpty() || nextStart.hasExpired())) {
            const SocketAddress target(order.at(next++), port);
            const int fd = target.openSocket();
            if (fd >= 0 && ::connect(fd, target.data(), target.length()) == 0)
                return fd;
            if (fd >= 0 && errno == EINPROGRESS) {
                pending.add(fd);
                nextStart.setRemainingTime(AttemptDelay.count());
            } else {
                // Refused or unreachable at once: the next address need not wait its turn.
                lastFailure = errno;
                if (fd >= 0)
                    ::close(fd);
                nextStart = QDeadlineTimer();
            }
            continue;
        }
        if (pending.isEmpty())
            return fail(lastFailure);

        milliseconds wait(deadline.remainingTime());
        if (next < order.size())
            wait = std::min(wait, milliseconds(nextStart.remainingTime()));
        const int ready = pending.wait(wait, m_watch);
        if (ready < 0)
            return fail(errno);
        if (ready == 0)
            continue;
        int failure = 0;
        if (const int fd = pending.takeSettled(&failure); fd >= 0)
            return fd;
        if (failure != 0) {
            lastFailure = failure;
            nextStart = QDeadlineTimer();
        }
    }
}

int AddressRace::fail(int systemError)
{
    m_systemError = systemError;
    m_error = InternetError::ofSystemError(systemError);
    return -1;
}

} // namespace Ftp
