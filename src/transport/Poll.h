#pragma once

#include "WaitWatch.h"

#include <chrono>
#include <span>

#include <poll.h>

namespace Ftp {

// Waits for the entries' events as poll does, restarting after signals without extending the
// wait; poll's result, 0 when the time ran out. A signal that asks the program to stop ends the
// wait at once, with -1 and errno ECANCELED: a stalled server must not keep a cancelled command
// waiting for its timeout. A watch is asked after every slice in which nothing happened, and
// its false ends the wait the same way.
int pollFor(std::span<pollfd> entries, std::chrono::milliseconds timeout,
            const WaitWatch &watch = {});

// The same for one descriptor.
inline int pollFor(int fd, short events, std::chrono::milliseconds timeout,
                   const WaitWatch &watch = {})
{
    pollfd entry{fd, events, 0};
    return pollFor(std::span(&entry, 1), timeout, watch);
}

} // namespace Ftp
