#include "Poll.h"

#include "platform/Interruption.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace Ftp {

int pollFor(std::span<pollfd> entries, std::chrono::milliseconds timeout, const WaitWatch &watch)
{
    const int signalsBefore = Platform::Interruption::count();
    const QDeadlineTimer deadline(timeout);
    for (;;) {
        const std::chrono::milliseconds left(deadline.remainingTime());
        const qint64 slice = (watch ? std::min(left, WatchSlice) : left).count();
        const int ready =
            ::poll(entries.data(), entries.size(), int(std::min<qint64>(slice, INT_MAX)));
        if (ready > 0 || (ready < 0 && errno != EINTR))
            return ready;
        if (ready < 0 && Platform::Interruption::count() != signalsBefore) {
            errno = ECANCELED;
            return -1;
        }
        if (deadline.hasExpired())
            return 0;
        if (ready == 0 && watch && !watch()) {
            errno = ECANCELED;
            return -1;
        }
    }
}

} // namespace Ftp
