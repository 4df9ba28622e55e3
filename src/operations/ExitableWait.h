#pragma once

#include "transport/cFTP.h"

#include <QTimer>

#include <chrono>
#include <optional>

class ListWindowPort;

// A stretch of server commands that the list window's Exit may end, for the work that is no
// copy or delete of its own (a listing, a rename). Unless an operation holds the window busy
// already, the window is busy meanwhile (every button but Exit disabled, the busy indicator
// running) and then gets its buttons back as they were; and the plain channel's commands let
// the message loop run as they wait, so that Exit ends a wait at once, closing the session.
//
// A window that is still to open (its first listing) shows only when the wait lasts: a server
// that answers at once opens it listed, or tells of a failure with no window behind the box,
// while one that keeps the user waiting gets the window, busy, with Exit as the way out.
class ExitableWait
{
public:
    enum class Window {
        Shown,       // the window shows already
        ShownIfSlow, // the window shows once the wait has lasted ShowAfter
    };
    // About the time a user waits for a window before wondering whether anything happens.
    static constexpr std::chrono::milliseconds ShowAfter{1000};

    explicit ExitableWait(ListWindowPort &window, Window shown = Window::Shown);
    ~ExitableWait();
    Q_DISABLE_COPY_MOVE(ExitableWait)

    // Whether Exit stopped the window: its session is closed, and the work ends quietly,
    // asking the server nothing more.
    bool stopped() const;

private:
    ListWindowPort &m_window;
    const bool m_holdsWindow;
    std::optional<cFTP::InterruptibleCommands> m_interruptible;
    QTimer m_showing;
};
