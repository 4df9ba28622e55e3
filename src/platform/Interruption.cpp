#include "platform/Interruption.h"

#include <csignal>
#include <cstdio>
#include <iterator>

namespace {

constexpr int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t commandRunning = 0;
volatile std::sig_atomic_t requestedSignal = 0;
volatile std::sig_atomic_t signalCount = 0;
volatile std::sig_atomic_t repeatEndsAtOnce = 1;
struct sigaction earlierActions[std::size(HandledSignals)];

void onSignal(int signal)
{
    // Only async-signal-safe calls in here.
    if (!commandRunning) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    if (!requestedSignal)
        requestedSignal = signal;
    signalCount = signalCount + 1;
    // Without a clean-up that gives up its waits, the default action is back for the next one.
    if (repeatEndsAtOnce)
        std::signal(signal, SIG_DFL);
}

} // namespace

namespace Platform {

Interruption::Interruption(Repeat repeat)
{
    repeatEndsAtOnce = repeat == Repeat::EndsAtOnce;
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

int Interruption::count()
{
    return signalCount;
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
