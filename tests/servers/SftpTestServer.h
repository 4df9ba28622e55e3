#pragma once

#include "servers/ServerLogin.h"

#include <QList>
#include <QString>

#include <memory>

// A real SFTP server on loopback for one test: OpenSSH's sshd with a host key of its own,
// serving a fresh temporary folder to one password account, stopped when the object goes.
class SftpTestServer : public ServerLogin
{
public:
    enum class Kind { Sshd, External };
    // The host keys sshd shows a client, which picks one of them.
    enum class HostKeys { Ed25519, Ecdsa, Ed25519AndEcdsa };
    // Whether sshd carries out renames, or refuses them as a server whose administrator denies
    // them does ("permission denied").
    enum class Renames { Allowed, Refused };

    // Starts a server of that kind on a free port of 127.0.0.1. Returns nullptr with the reason
    // in *why when it cannot. External is the server named in VELLIX_TEST_SFTP
    // ("host:port:user:password:root-folder"); nothing is started for it.
    static std::unique_ptr<SftpTestServer> start(Kind kind, QString *why = nullptr,
                                                 HostKeys shown = HostKeys::Ed25519,
                                                 Renames renames = Renames::Allowed);
    // sshd, and the external server when VELLIX_TEST_SFTP names one.
    static QList<Kind> kinds();
    // "sshd", "external", for test parameter names.
    static QString kindName(Kind kind);
    // Why this machine cannot run servers of that kind at all (sshd needs root for its account
    // and its privilege separation; the external server needs VELLIX_TEST_SFTP); empty when it
    // can. Tests skip with this reason.
    static QString unavailableReason(Kind kind);

    ~SftpTestServer();
    SftpTestServer(const SftpTestServer &) = delete;
    SftpTestServer &operator=(const SftpTestServer &) = delete;

    Kind kind() const { return m_kind; }

    // The server's host key as a known-hosts line for site(): "[127.0.0.1]:2222 ssh-ed25519
    // AAAA...". Empty for the external server.
    QString knownHostsLine() const { return m_knownHostsLine; }
    // The line of the server's ECDSA host key, which it shows only when started so.
    QString ecdsaKnownHostsLine() const { return m_ecdsaKnownHostsLine; }
    // A known-hosts line for site() with a key that is not the server's: the entry a client
    // holds when the server's key has changed.
    QString otherKnownHostsLine() const { return m_otherKnownHostsLine; }

    // Lets the account log in with the key of an OpenSSH public key line as well. False for
    // the external server.
    bool authorizeKey(const QByteArray &publicKeyLine);

    // Waits until a file of the served folder (an upload under way) holds at least `bytes`;
    // false when none does within `milliseconds`.
    bool waitForFileOf(qint64 bytes, int milliseconds = 20000) const;

    // Kills every session the server is serving, while the listener stays: to the clients the
    // server died in the middle of what they were doing. False for the external server.
    bool killSessions();
    // Stops every session the server is serving, as a server that hangs: its clients hear
    // nothing more until they are let go on (`suspended` false). The sessions are killed with the
    // server. False for the external server.
    bool suspendSessions(bool suspended = true);

private:
    explicit SftpTestServer(Kind kind)
        : m_kind(kind)
    {}

    static std::unique_ptr<SftpTestServer> startSshd(HostKeys shown, Renames renames, QString *why);
    // Signals every process of the sessions the listener serves (none with `signal` 0) after
    // stopping them; false when they cannot be found.
    bool signalSessions(int signal);

    Kind m_kind;
    QString m_knownHostsLine;
    QString m_ecdsaKnownHostsLine;
    QString m_otherKnownHostsLine;
};
