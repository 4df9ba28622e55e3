#include "platform/Interruption.h"

#include <csignal>
#include <cstdio>
#include <iterator>

namespace {

constexpr int HandledSignals[] = {SIGINT, SIGTERM};

volatile std::sig_atomic_t commandRunning = 0;
volatile std::sig_atomic_t requestedSignal = 0;
struct sigaction earlierActions[std::size(HandledSignals)];

void onSignal(int signal)
{
    // Only async-signal-safe calls in here. The default action is back for a second signal.
    std::signal(signal, SIG_DFL);
    if (!commandRunning)
        std::raise(signal);
    else
        requestedSignal = signal;
}

} // namespace

namespace Platform {

Interruption::Interruption()
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(HandledSignals); ++i)
        sigaction(HandledSignals[i], &action, &earlierActions[i]);
}

Interruption::~Interruption()
{
    for (size_t i = 0; i < std::size(HandledSignals); ++i)
        sigaction(HandledSignals[i], &earlierActions[i], nullptr);
}

void Interruption::setCommandRunning(bool running)
{
    commandRunning = running;
}

bool Interruption::requested()
{
    return requestedSignal != 0;
}

void Interruption::endByRequestedSignal()
{
    if (!requestedSignal)
        return;
    std::fflush(nullptr);
    std::signal(requestedSignal, SIG_DFL);
    std::raise(requestedSignal);
}

} // namespace Platform
