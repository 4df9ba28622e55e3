#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class ServerProcess;

// A real FTP server on loopback for one test: it serves a fresh temporary folder with one account
// and is stopped, with everything it spawned, when the object goes.
class FtpTestServer
{
public:
    enum class Kind { Pyftpdlib, Vsftpd, External };

    // Starts a server of that kind on a free port of 127.0.0.1 (pyftpdlib also on ::1). Returns
    // nullptr with the reason in *why when it cannot. External is the server named in
    // VELLIX_TEST_FTP ("host:port:user:password:root-folder"); nothing is started for it.
    static std::unique_ptr<FtpTestServer> start(Kind kind, QString *why = nullptr,
                                                bool ipv6 = false);
    // A vsftpd that refuses active mode (PORT and EPRT), as a server behind a firewall that
    // cannot reach its clients does.
    static std::unique_ptr<FtpTestServer> startWithoutActiveMode(QString *why = nullptr);
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

    ~FtpTestServer();
    FtpTestServer(const FtpTestServer &) = delete;
    FtpTestServer &operator=(const FtpTestServer &) = delete;

    Kind kind() const { return m_kind; }
    QString host() const { return m_host; }
    quint16 port() const { return m_port; }
    // What a client passes as server name: "127.0.0.1:2121" or "[::1]:2121".
    QString site() const;
    QString user() const { return m_user; }
    QString password() const { return m_password; }
    // Server path of the folder the tests work in: "/" (the login folder) for the local servers.
    QString homeDir() const { return m_homeDir; }
    // Linux path of the folder the server serves; files and folders created there appear on the
    // server and the server account can change them. Empty for the external server.
    QString rootPath() const { return m_rootPath; }
    // The server's own log, for looking into a failed test; empty for the external server.
    QString logPath() const { return m_logPath; }

    // Stops and continues the server process, to model a server that stops answering. Only a
    // pyftpdlib server (a single process) can do this; false for the others.
    bool suspend();
    bool resume();

private:
    explicit FtpTestServer(Kind kind);

    static std::unique_ptr<FtpTestServer> startPyftpdlib(bool ipv6, QString *why);
    static std::unique_ptr<FtpTestServer> startVsftpd(QString *why, bool activeMode);
    static std::unique_ptr<FtpTestServer> startExternal(QString *why);
    bool makeFolders(QString *why);

    Kind m_kind;
    QString m_host;
    quint16 m_port = 0;
    QString m_user;
    QString m_password;
    QString m_homeDir;
    QString m_rootPath;
    QString m_logPath;
    // Declared before the process so that the server stops before its folder goes.
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ServerProcess> m_process;
};
