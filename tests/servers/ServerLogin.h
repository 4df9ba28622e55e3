#pragma once

#include <QString>

// Where a test server listens and how the tests log in to it.
class ServerLogin
{
public:
    QString host() const { return m_host; }
    quint16 port() const { return m_port; }
    // What a client passes as server name: "127.0.0.1:2121" or "[::1]:2121".
    QString site() const;
    QString user() const { return m_user; }
    QString password() const { return m_password; }
    // Server path of the folder the tests work in: the login folder of the local servers ("/"
    // on an FTP server, the real path on an SFTP server, whose paths are the server's own).
    QString homeDir() const { return m_homeDir; }
    // Linux path of the folder the server serves; files and folders created there appear on the
    // server and the server account can change them. Empty for an external server.
    QString rootPath() const { return m_rootPath; }
    // The server's own log, for looking into a failed test; empty for an external server.
    QString logPath() const { return m_logPath; }

protected:
    // Takes the login of the external server that the environment variable names
    // ("host:port:user:password:root-folder"); false with the reason when it does not read so.
    bool takeExternal(const char *variable, QString *why);

    QString m_host;
    quint16 m_port = 0;
    QString m_user;
    QString m_password;
    QString m_homeDir;
    QString m_rootPath;
    QString m_logPath;
};
