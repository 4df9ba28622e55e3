#pragma once

#include <chrono>
#include <functional>

namespace Ftp {

// What a caller hands to the engine's reads, writes and waits on the network. Asked as each of
// them begins and again after every WatchSlice of waiting, it lets the caller's message loop
// run; its false gives the operation up, which then fails as cancelled. Without one a wait ends
// only at its timeout or at a signal that asks the program to stop.
using WaitWatch = std::function<bool()>;

// Short enough that a window on the waiting thread answers the mouse at once.
inline constexpr std::chrono::milliseconds WatchSlice{25};

} // namespace Ftp
