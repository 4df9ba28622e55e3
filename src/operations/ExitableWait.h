#pragma once

#include "transport/cFTP.h"

class ListWindowPort;

// A stretch of server commands that the list window's Exit may end, for the work that is no
// copy or delete of its own (a listing, a rename). Unless an operation holds the window busy
// already, the window is busy meanwhile (every button but Exit disabled, the busy indicator
// running) and then gets its buttons back as they were; and the plain channel's commands let
// the message loop run as they wait, so that Exit ends a wait at once, closing the session.
class ExitableWait
{
public:
    explicit ExitableWait(ListWindowPort &window);
    ~ExitableWait();
    Q_DISABLE_COPY_MOVE(ExitableWait)

    // Whether Exit stopped the window: its session is closed, and the work ends quietly,
    // asking the server nothing more.
    bool stopped() const;

private:
    ListWindowPort &m_window;
    const bool m_holdsWindow;
    const cFTP::InterruptibleCommands m_interruptible;
};
