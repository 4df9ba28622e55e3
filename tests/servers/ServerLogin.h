#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class ServerProcess;

// Where a test server listens and how the tests log in to it.
class ServerLogin
{
public:
    ~ServerLogin();

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
    ServerLogin();

    // Takes the login of the external server that the environment variable names
    // ("host:port:user:password:root-folder"). The host may be "[v6 address]", and the password
    // may hold ":" (the root folder is what follows the last one). False with the reason when
    // the variable is unset or does not read so.
    bool takeExternal(const char *variable, QString *why);
    // A fresh temporary folder ("vellix-<kind>-XXXXXX") holding the configuration and the log
    // (logName) next to "root", the folder served, so that they never show in a listing.
    bool makeFolders(const QString &kind, const QString &logName, QString *why);
    // makeFolders() for a server that serves the system account of VsftpdAccount, which it
    // creates when missing, and logs in as it.
    bool makeFoldersForAccount(const QString &kind, const QString &logName, QString *why);
    // The folder of makeFolders() (its real path), for the files a server keeps beside root.
    QString folderPath(const QString &name) const;

    // Runs start(&reason) and, when it gives no server, puts "name: reason" in *why; without a
    // why, the test that needed the server fails with it.
    template<class Start>
    static auto started(const QString &name, QString *why, Start &&start)
    {
        QString reason;
        auto server = start(&reason);
        if (!server && why)
            *why = name + QStringLiteral(": ") + reason;
        else if (!server)
            ADD_FAILURE() << name.toStdString() << ": " << reason.toStdString();
        return server;
    }

    QString m_host = QStringLiteral("127.0.0.1");
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
