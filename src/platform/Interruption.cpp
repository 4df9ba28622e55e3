#include "platform/Interruption.h"

#include "platform/EndingSignals.h"

#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t commandRunning = 0;
volatile std::sig_atomic_t requestedSignal = 0;
volatile std::sig_atomic_t signalCount = 0;
volatile std::sig_atomic_t repeatEndsAtOnce = 1;
struct sigaction earlierActions[Platform::EndingSignals::Count];

void onSignal(int signal)
{
    // Only async-signal-safe calls in here.
    if (!commandRunning) {
        Platform::EndingSignals::endBy(signal);
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
    EndingSignals::handleBy(onSignal, &earlierActions);
}

Interruption::~Interruption()
{
    for (std::size_t i = 0; i < EndingSignals::Count; ++i)
        sigaction(EndingSignals::All[i], &earlierActions[i], nullptr);
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
    EndingSignals::endBy(requestedSignal);
}

} // namespace Platform
