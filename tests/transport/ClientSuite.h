#pragma once

// The FTP client on a real server of either channel: a plain server in active or passive mode,
// or an SFTP server through the secure library. Each test starts logged in, in a fresh folder.

#include "servers/ServerModes.h"
#include "servers/SftpTestServer.h"
#include "support/VellixTest.h"

#include "platform/DosPath.h"
#include "transport/cFTP.h"

#include <QDir>
#include <QUuid>

#include <optional>
#include <vector>

struct Channel
{
    ServerMode plain;
    std::optional<SftpTestServer::Kind> secure; // set: the client's secure form on this server
};

// The plain servers in both modes, the SFTP servers, or both.
inline std::vector<Channel> channels(bool plain, bool secure)
{
    std::vector<Channel> result;
    for (const ServerMode &mode : plain ? serverModesWithTls() : std::vector<ServerMode>())
        result.push_back({mode, std::nullopt});
    for (const auto kind : secure ? SftpTestServer::kinds() : QList<SftpTestServer::Kind>())
        result.push_back({{}, kind});
    return result;
}

// Shown as "vsftpd_passive" or "secure_sshd", also in test names.
inline void PrintTo(const Channel &channel, std::ostream *out)
{
    *out << (channel.secure ? "secure_" + SftpTestServer::kindName(*channel.secure).toStdString()
                            : serverModeName(channel.plain));
}

// A client and the local files it is handed.
class ClientFixture : public VellixTest
{
protected:
    // DOS path of a file in the test's folder (its folder is created).
    QString dos(const QString &relative) const
    {
        QDir().mkpath(QFileInfo(tempPath(relative)).absolutePath());
        return Platform::DosPath::toDos(tempPath(relative));
    }
    QString putLocal(const QString &relative, const QByteArray &content) const
    {
        writeFile(tempPath(relative), content);
        return dos(relative);
    }

    cFTP client;
};

class ClientSuite
    : public ClientFixture
    , public testing::WithParamInterface<Channel>
{
protected:
    void SetUp() override
    {
        ClientFixture::SetUp();
        if (GetParam().secure) {
            sftpServer = startOrSkip(*GetParam().secure);
            server = sftpServer.get();
            client.setSecure(true);
        } else {
            ftpServer = startOrSkip(GetParam().plain.kind);
            server = ftpServer.get();
            if (GetParam().plain.passive)
                client.SetModePassive();
        }
        if (!server)
            return;
        ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()))
            << client.GetLastErrorMessage().toStdString();
        // Each test works in a fresh folder of its own, also on a shared external server.
        work = QStringLiteral("case-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        ASSERT_TRUE(client.SetFTPDirectory(server->homeDir()));
        ASSERT_TRUE(client.CreateFTPDirectory(work));
        ASSERT_TRUE(client.SetFTPDirectory(work));
    }

    void TearDown() override
    {
        // The client leaves before its server stops.
        client.CloseConnection();
        ftpServer.reset();
        sftpServer.reset();
        ClientFixture::TearDown();
    }

    QString workPath() const
    {
        const QString home = server->homeDir();
        return (home.endsWith(u'/') ? home : home + u'/') + work;
    }

    // The bytes the server holds: read from its folder when the test can see it, else fetched.
    QByteArray onServer(const QString &name)
    {
        if (!server->rootPath().isEmpty())
            return readFile(server->rootPath() + u'/' + work + u'/' + name);
        const QString fetched =
            dos(QStringLiteral("fetched/") + QUuid::createUuid().toString(QUuid::Id128));
        return client.SimpleFTPGetFile(fetched, name)
                   ? readFile(Platform::DosPath::toLinux(fetched))
                   : QByteArray("(missing)");
    }

    QStringList listed(const QString &filter) { return listedNames(client, filter); }

    std::unique_ptr<FtpTestServer> ftpServer;
    std::unique_ptr<SftpTestServer> sftpServer;
    ServerLogin *server = nullptr;
    QString work;
};
