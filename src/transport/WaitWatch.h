#pragma once

#include <chrono>
#include <functional>

namespace Ftp {

// What a caller hands to the engine's waits on the network. Asked again and again while a wait
// goes on, at least once every WatchSlice, it lets the caller's message loop run; its false
// gives the wait up, and the operation fails as cancelled. Without one a wait ends only at its
// timeout or at a signal that asks the program to stop.
using WaitWatch = std::function<bool()>;

// Short enough that a window on the waiting thread answers the mouse at once.
inline constexpr std::chrono::milliseconds WatchSlice{25};

} // namespace Ftp
