#pragma once

// The run state of the control's work: busy, a transfer running, the web space measuring, a
// command aborted, and the user's cancel request. It is kept in the shared state, where the
// control's commands, the list windows' close and the FTP client's transfers read it; this
// class is the one place that changes it.
//
// Work with a clear start and end enters a scope for its time: the flags it holds are set
// while it lives and cleared when it ends, however it ends. The transitions that happen
// between events (a window's Exit, a chooser's close box) are the named calls below.
class RunScope
{
public:
    enum Hold : unsigned {
        Busy = 0x1,      // an operation of a list window or the chooser runs
        Transfer = 0x2,  // a file moves through the shared session
        Measuring = 0x4, // the web space walk runs: the stop flag is clear until it ends
    };

    explicit RunScope(unsigned holds);
    ~RunScope();
    RunScope(const RunScope &) = delete;
    RunScope &operator=(const RunScope &) = delete;

    // Busy or a transfer running: the control refuses a second command, and the chooser a
    // second upload.
    static bool running();
    static bool busy();
    static void setBusy(bool busy);

    // The user asked to stop the running work (Exit, Cancel); transfers look at it after
    // every block and between attempts.
    static void requestCancel();
    static bool cancelRequested();
    static void clearCancel();
    // After a list window's Exit: nothing busy or transferring any more.
    static void endAll();
    // Marks a transfer running outside any scope: the catalogue's upload on the secure
    // channel, which the control must not interrupt with a second command.
    static void markTransfer();
    static void endTransfer();

    // The web space walk: a stop asked for, or no walk running.
    static bool stopRequested();
    static void requestStop();
    static void clearStop();

    // The chooser's close box ends the command that opened it.
    static void abortCommand();
    // Whether the command was aborted; the report is taken back.
    static bool takeAbort();

private:
    unsigned m_holds;
};
