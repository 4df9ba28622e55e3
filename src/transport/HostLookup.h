#pragma once

#include "WaitWatch.h"

#include <QHostAddress>
#include <QList>
#include <QString>

#include <chrono>

namespace Ftp {

// Finds the addresses of a host name. The system's resolver cannot be interrupted and may take
// as long as it likes, so it runs on a thread of its own, and the caller waits for it in slices:
// a watch runs between them, a signal that asks the program to stop ends the wait, and so does
// the timeout. A lookup given up finishes on its thread and is forgotten.
class HostLookup
{
public:
    // The addresses for a stream connection, in the resolver's order; empty when there are
    // none, with error() saying why: the name is not known or took longer than the timeout
    // (NameNotResolved), or the wait was given up (OperationCancelled).
    QList<QHostAddress> resolve(const QString &host, std::chrono::milliseconds timeout,
                                const WaitWatch &watch = {});
    quint32 error() const { return m_error; }

private:
    quint32 m_error = 0;
};

} // namespace Ftp
