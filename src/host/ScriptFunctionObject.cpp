#include "host/ScriptFunctionObject.h"

#include "host/ScriptExit.h"

ScriptFunctionObject::ScriptFunctionObject(const QJSValue &function, QObject *parent)
    : QObject(parent)
    , m_function(function)
{}

void ScriptFunctionObject::Close()
{
    if (m_function.isCallable()) {
        ScriptExit::checked(m_function.call());
        return;
    }
    const QJSValue close = m_function.property(QStringLiteral("Close"));
    if (close.isCallable())
        ScriptExit::checked(close.callWithInstance(m_function));
}
