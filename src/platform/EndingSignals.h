#pragma once

#include <csignal>
#include <cstddef>
#include <iterator>

// The signals by which a user or a session ends a program: Ctrl+C (SIGINT), kill (SIGTERM) and a
// closed terminal or desktop session (SIGHUP). What handles them cleans up, then lets the
// program end by the signal, so that its caller learns how it ended.
namespace Platform::EndingSignals {

inline constexpr int All[] = {SIGINT, SIGTERM, SIGHUP};
inline constexpr std::size_t Count = std::size(All);

// Hands each of them to handler, restarting the calls it interrupts; the actions they had
// before go into earlier, when given, in the order of All.
void handleBy(void (*handler)(int), struct sigaction (*earlier)[Count] = nullptr);
// Ends the program by the signal, as it ends without a handler. Safe inside a signal handler.
void endBy(int signal);

} // namespace Platform::EndingSignals
