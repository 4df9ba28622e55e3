#pragma once

#include <QJSValue>
#include <QObject>

// A script's function handed to the control through loadfunc: where the control calls its
// host's object (Close, when a secure connect is cancelled), the function is called; an
// object with a Close method has that method called.
class ScriptFunctionObject : public QObject
{
    Q_OBJECT

public:
    ScriptFunctionObject(const QJSValue &function, QObject *parent = nullptr);

    Q_INVOKABLE void Close();

private:
    QJSValue m_function;
};
