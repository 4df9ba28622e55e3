#include "course/RunScope.h"

#include "course/SharedState.h"

RunScope::RunScope(unsigned holds)
    : m_holds(holds)
{
    SharedState &state = Shared();
    if (holds & Busy)
        state.BusyFlag = true;
    if (holds & Transfer)
        state.TransferRunning = true;
    if (holds & Measuring)
        state.StopFlag = false;
}

RunScope::~RunScope()
{
    SharedState &state = Shared();
    if (m_holds & Busy)
        state.BusyFlag = false;
    if (m_holds & Transfer)
        state.TransferRunning = false;
    if (m_holds & Measuring)
        state.StopFlag = true;
}

bool RunScope::running()
{
    return Shared().BusyFlag || Shared().TransferRunning;
}

bool RunScope::busy()
{
    return Shared().BusyFlag;
}

void RunScope::setBusy(bool busy)
{
    Shared().BusyFlag = busy;
}

void RunScope::requestCancel()
{
    Shared().CancelRequest = true;
}

bool RunScope::cancelRequested()
{
    return Shared().CancelRequest;
}

void RunScope::clearCancel()
{
    Shared().CancelRequest = false;
}

void RunScope::endAll()
{
    SharedState &state = Shared();
    state.BusyFlag = false;
    state.TransferRunning = false;
}

void RunScope::markTransfer()
{
    Shared().TransferRunning = true;
}

void RunScope::endTransfer()
{
    Shared().TransferRunning = false;
}

bool RunScope::stopRequested()
{
    return Shared().StopFlag;
}

void RunScope::requestStop()
{
    Shared().StopFlag = true;
}

void RunScope::clearStop()
{
    Shared().StopFlag = false;
}

void RunScope::abortCommand()
{
    Shared().AbortFlag = true;
}

bool RunScope::takeAbort()
{
    const bool aborted = Shared().AbortFlag;
    Shared().AbortFlag = false;
    return aborted;
}
