#include "operations/ExitableWait.h"

#include "course/SharedState.h"
#include "operations/ListWindowPort.h"

namespace {

// Enters the window's wait unless it is busy with an operation already.
bool holdWindow(ListWindowPort &window)
{
    if (window.goesOn())
        return false;
    window.enterWait();
    return true;
}

} // namespace

ExitableWait::ExitableWait(ListWindowPort &window, Window shown)
    : m_window(window)
    , m_holdsWindow(holdWindow(window))
    , m_interruptible(std::in_place, *Shared().FtpClient)
{
    if (shown == Window::Shown)
        return;
    // The commands' waits let the loop run, which delivers the timeout.
    m_showing.setSingleShot(true);
    m_showing.callOnTimeout([this] { m_window.showWaiting(); });
    m_showing.start(ShowAfter);
}

ExitableWait::~ExitableWait()
{
    m_showing.stop();
    // The stretch ends first, closing the session a stop asked to close: what the window does
    // as it leaves its wait (a catalogue upload that was left for then) runs in a new one.
    m_interruptible.reset();
    if (m_holdsWindow)
        m_window.leaveWait();
}

bool ExitableWait::stopped() const
{
    return !m_window.goesOn();
}
