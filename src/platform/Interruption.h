#pragma once

namespace Platform {

// Ctrl+C (SIGINT) and SIGTERM while a command runs cancel it the way the control's Cancel
// button does: a transfer stops after its next block and removes its partial file, and the
// program then ends by the same signal. Between commands, and at a second signal, the program
// ends at once, as it would without this.
class Interruption
{
public:
    Interruption();  // installs the handlers
    ~Interruption(); // puts the earlier handlers back
    Interruption(const Interruption &) = delete;
    Interruption &operator=(const Interruption &) = delete;

    // Whether a command is running, and so is to be cancelled rather than cut off.
    static void setCommandRunning(bool running);
    // A signal asked the running command to stop.
    static bool requested();
    // Ends the program by the signal that asked it to stop; returns when none did.
    static void endByRequestedSignal();
};

} // namespace Platform
