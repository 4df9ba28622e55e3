#pragma once

#include "WaitWatch.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QList>
#include <QString>

#include <chrono>

namespace Ftp {

// Opens a TCP connection to a host that may have several addresses, the way browsers and curl
// do (RFC 8305, "Happy Eyeballs", simplified): the addresses are tried in the resolver's order
// with the families alternating, a new attempt starts every AttemptDelay while the earlier ones
// still wait, and at once when one fails; the first to connect wins and the others are closed.
// A dead first address (a broken IPv6 route, a host that moved) so costs a quarter second
// instead of the whole timeout, and the one timeout bounds the whole connect, lookup included,
// however many addresses the host has.
//
// The watch is asked as the connect begins, between its steps and after every WatchSlice of
// waiting; its false, or a signal that asks the program to stop, gives the connect up as
// cancelled.
class AddressRace
{
public:
    static constexpr std::chrono::milliseconds AttemptDelay{250};

    explicit AddressRace(WaitWatch watch = {});

    // Looks the host up and connects to one of its addresses. The connected socket's
    // descriptor, which the caller then owns, or -1 with error() saying why.
    int connect(const QString &host, quint16 port, std::chrono::milliseconds timeout);
    // The same with the addresses already known.
    int connect(const QList<QHostAddress> &addresses, quint16 port,
                std::chrono::milliseconds timeout);

    // Why the last connect failed, as an InternetError number: NameNotResolved,
    // OperationCancelled, Timeout when the time ran out, else the last address's own failure.
    quint32 error() const { return m_error; }
    // The system's error number (errno) of that failure; 0 when the name was not found.
    int systemError() const { return m_systemError; }

    // The order in which the addresses are tried: the resolver's, with the family of the first
    // address and the other one taking turns.
    static QList<QHostAddress> attemptOrder(const QList<QHostAddress> &addresses);

private:
    int race(const QList<QHostAddress> &order, quint16 port, const QDeadlineTimer &deadline);
    int fail(int systemError);

    WaitWatch m_watch;
    quint32 m_error = 0;
    int m_systemError = 0;
};

} // namespace Ftp
