#include "platform/EndingSignals.h"

namespace Platform::EndingSignals {

void handleBy(void (*handler)(int), struct sigaction (*earlier)[Count])
{
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < Count; ++i)
        sigaction(All[i], &action, earlier ? &(*earlier)[i] : nullptr);
}

void endBy(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace Platform::EndingSignals
