#pragma once

#include <QObject>

// The object a host page hands the control through loadfunc: the control rebuilds the archive
// catalogue after an upload only when it holds one, and asks it to close when a secure
// connect is cancelled.
class HostFunctionObject : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    Q_INVOKABLE void Close() { m_closed = true; }
    bool closed() const { return m_closed; }

private:
    bool m_closed = false;
};
