#pragma once

#include "servers/ServerLogin.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// A real FTP server on loopback for one test: it serves a fresh temporary folder with one account
// and is stopped, with everything it spawned, when the object goes.
class FtpTestServer : public ServerLogin
{
public:
    // VsftpdTls: a vsftpd that requires TLS for logins and data, with the control connection's
    // TLS session resumed on every data connection, as servers that refuse clear text do; its
    // certificate, made for this start, is self-signed for 127.0.0.1 and localhost.
    // PyftpdlibTls: pyftpdlib's TLS handler, requiring TLS for logins and data, with a
    // certificate made like vsftpd's.
    enum class Kind { Pyftpdlib, Vsftpd, External, Scripted, VsftpdTls, PyftpdlibTls };

    // Starts a server of that kind on a free port of 127.0.0.1 (pyftpdlib also on ::1). Returns
    // nullptr with the reason in *why when it cannot. External is the server named in
    // VELLIX_TEST_FTP ("host:port:user:password:root-folder"); nothing is started for it.
    static std::unique_ptr<FtpTestServer> start(Kind kind, QString *why = nullptr,
                                                bool ipv6 = false);
    // A vsftpd that refuses active mode (PORT and EPRT), as a server behind a firewall that
    // cannot reach its clients does.
    static std::unique_ptr<FtpTestServer> startWithoutActiveMode(QString *why = nullptr);
    // Faults a pyftpdlib server plays on request.
    struct Faults
    {
        // The session is dropped right after the reply to the first such command ("DELE").
        QString dropAfter = {};
        // Only that many logins succeed, every later one is refused; -1: any number.
        int logins = -1;
        // Bytes a second that data connections carry each way; 0: as fast as they can.
        int rate = 0;
        // A file that arms one drop while the server runs, when a test writes it: its line
        // "drop-after VERB [TEXT]" or "lose-reply VERB [TEXT]" names the first command to drop
        // the session at (whose argument holds TEXT), and the server removes the file then.
        QString faultFile = {};
    };
    static std::unique_ptr<FtpTestServer> startFaulty(const Faults &faults, QString *why = nullptr);
    // The fault suite's scripted server (scripted_ftpd.py), playing one fault ("cut-data=300",
    // "evil-names"; empty: none) in every session.
    static std::unique_ptr<FtpTestServer> startScripted(const QString &fault,
                                                        QString *why = nullptr);
    // The kinds to run a server suite against: pyftpdlib, vsftpd, and the external server when
    // VELLIX_TEST_FTP names one.
    static QList<Kind> kinds();
    // "pyftpdlib", "vsftpd", "external", for test parameter names.
    static QString kindName(Kind kind);
    // Why this machine cannot run servers of that kind at all (vsftpd needs root to create its
    // account; the external server needs VELLIX_TEST_FTP); empty when it can. Tests skip with
    // this reason; any other failure to start is a test failure.
    static QString unavailableReason(Kind kind);
    // A loopback TCP port where nobody listens: connecting to it is refused.
    static quint16 unusedPort();

    FtpTestServer(const FtpTestServer &) = delete;
    FtpTestServer &operator=(const FtpTestServer &) = delete;

    Kind kind() const { return m_kind; }
    // The PEM file of a TLS server's certificate; empty for a server without TLS.
    QString certificatePath() const { return m_certificatePath; }

    // Stops and continues the server process, to model a server that stops answering. Only a
    // pyftpdlib server (a single process) can do this; false for the others.
    bool suspend();
    bool resume();

private:
    explicit FtpTestServer(Kind kind)
        : m_kind(kind)
    {}

    // Starts one of our Python servers (scripted_ftpd.py for Scripted, else pyftpd_server.py) with
    // its own arguments after the common ones.
    static std::unique_ptr<FtpTestServer> startPython(Kind kind, const QStringList &extra,
                                                      bool ipv6, QString *why);
    static std::unique_ptr<FtpTestServer> startVsftpd(QString *why, bool activeMode,
                                                      bool tls = false);
    bool makeCertificate(QString *why);
    bool isPython() const { return m_kind == Kind::Pyftpdlib || m_kind == Kind::PyftpdlibTls; }

    Kind m_kind;
    QString m_certificatePath;
    QString m_keyPath;
};
