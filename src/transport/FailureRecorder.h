#pragma once

#include <QString>

class ChannelOwner;
class QFileDevice;

namespace Ftp {
class Session;
}

// Tells the client why an operation of the plain channel failed, in the words the control has
// always used: the operation's name with the error number and its text, or the server's own
// reply to a refusal; and a local file that cannot be read or written, in the system's words.
class FailureRecorder
{
public:
    FailureRecorder(const Ftp::Session &session, ChannelOwner &owner);

    // Each gives the text it recorded.
    QString record(quint32 code, const QString &operation);
    // The session's last failure, under the operation's name.
    QString recordLast(const QString &operation);
    // Passes a result through, recording the session's last failure when it is one.
    bool check(bool succeeded, const QString &operation);
    void recordText(const QString &text);
    void recordLocal(const QFileDevice &file);
    void recordLocal(const QFileDevice &file, const QString &why);

private:
    const Ftp::Session &m_session;
    ChannelOwner &m_owner;
};
