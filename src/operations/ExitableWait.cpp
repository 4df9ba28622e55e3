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

ExitableWait::ExitableWait(ListWindowPort &window)
    : m_window(window)
    , m_holdsWindow(holdWindow(window))
    , m_interruptible(*Shared().FtpClient)
{}

ExitableWait::~ExitableWait()
{
    if (m_holdsWindow)
        m_window.leaveWait();
}

bool ExitableWait::stopped() const
{
    return !m_window.goesOn();
}
