#pragma once

#include <chrono>

namespace Ftp {

// How long the engine waits before it gives up on a server: a dead or stalled server ends
// an operation with a timeout error instead of hanging the program.
struct Timeouts
{
    std::chrono::milliseconds connect{20000}; // TCP connect, control and data
    std::chrono::milliseconds reply{30000};   // each reply on the control connection
    std::chrono::milliseconds data{60000};    // each wait for data to arrive or to drain
};

} // namespace Ftp
