#pragma once

namespace Platform {

// Ctrl+C (SIGINT), SIGTERM and SIGHUP while a command runs cancel it the way the control's
// Cancel button does: a transfer stops and removes its partial file, and the program then ends
// by the same signal. Between commands the program ends at once, as it would without this.
class Interruption
{
public:
    // What a further signal does while the cancelled command is still cleaning up.
    enum class Repeat {
        EndsAtOnce,   // the program ends without waiting for the clean-up
        CancelsAgain, // the wait in progress gives up too; the clean-up still runs
    };

    explicit Interruption(Repeat repeat = Repeat::EndsAtOnce); // installs the handlers
    ~Interruption();                                           // puts the earlier handlers back
    Interruption(const Interruption &) = delete;
    Interruption &operator=(const Interruption &) = delete;

    // Whether a command is running, and so is to be cancelled rather than cut off.
    static void setCommandRunning(bool running);
    // A signal asked the running command to stop.
    static bool requested();
    // How many signals asked the running command to stop: a wait that sees the number change
    // was interrupted by one of them.
    static int count();
    // Ends the program by the signal that asked it to stop; returns when none did.
    static void endByRequestedSignal();
};

} // namespace Platform
