#include "control/SecureConnectPolicy.h"

#include "course/RunScope.h"
#include "course/SharedState.h"
#include "transport/CSFtp.h"

#include <QMetaObject>
#include <QObject>

namespace {

// Asks the object the host handed to loadfunc to close, and lets it go.
void closeLoadFuncObject(SharedState &state)
{
    if (QObject *object = state.LoadFuncObject.data()) {
        if (object->metaObject()->indexOfMethod("Close()") >= 0)
            QMetaObject::invokeMethod(object, "Close", Qt::DirectConnection);
    }
    state.LoadFuncObject.clear();
}

} // namespace

SecureConnectPolicy::SecureConnectPolicy(std::function<void()> pumpMessages)
    : m_pumpMessages(std::move(pumpMessages))
{}

bool SecureConnectPolicy::operator()()
{
    SharedState &state = Shared();
    // A cancel ends the connect without another turn of the loop.
    if (RunScope::cancelRequested()) {
        closeLoadFuncObject(state);
        return false;
    }
    if (CSFtp::StatusText().contains(QLatin1String("Stopped")))
        state.LoginCancelled = false;
    if (m_pumpMessages)
        m_pumpMessages();
    return !state.LoginCancelled && !RunScope::cancelRequested();
}
