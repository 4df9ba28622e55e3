#pragma once

#include "course/SharedState.h"
#include "servers/FtpTestServer.h"
#include "servers/StartOrSkip.h"
#include "transport/cDirList.h"
#include "transport/cFTP.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

// A server suite's parameter: a server kind, reached in active or in passive mode, and for the
// scripted server the fault it plays in every session.
struct ServerMode
{
    FtpTestServer::Kind kind;
    bool passive;
    QString fault = {};
};

// Starts the server of a suite's mode as startOrSkip() does.
inline std::unique_ptr<FtpTestServer> startOrSkip(const ServerMode &mode, ServerAccess access)
{
    if (mode.kind != FtpTestServer::Kind::Scripted)
        return startOrSkip(mode.kind, access);
    return startOrSkip(
        {}, [&mode](QString *why) { return FtpTestServer::startScripted(mode.fault, why); });
}

// Every kind of FtpTestServer::kinds() (or of `kinds`), in both modes.
inline std::vector<ServerMode>
serverModes(const QList<FtpTestServer::Kind> &kinds = FtpTestServer::kinds())
{
    std::vector<ServerMode> modes;
    for (const auto kind : kinds) {
        modes.push_back({kind, false});
        modes.push_back({kind, true});
    }
    return modes;
}

// The same, and the servers that require TLS: for the suites of the client, which takes a
// server's certificate on first use.
inline std::vector<ServerMode> serverModesWithTls()
{
    return serverModes(FtpTestServer::kinds()
                       << FtpTestServer::Kind::VsftpdTls << FtpTestServer::Kind::PyftpdlibTls);
}

inline std::string serverModeName(const ServerMode &mode)
{
    return FtpTestServer::kindName(mode.kind).toStdString() +
           (mode.passive ? "_passive" : "_active");
}

// Test names such as "pyftpdlib_passive".
inline std::string serverModeParameterName(const testing::TestParamInfo<ServerMode> &info)
{
    return serverModeName(info.param);
}

inline void PrintTo(const ServerMode &mode, std::ostream *out)
{
    *out << serverModeName(mode);
}

// A suite over the server modes on top of the fixture Base: the shared client's session on a
// server whose folder the test lays out on this machine's disk, closed when the test ends. The
// login folder is taken as HomeDir, as the status window does after connecting.
template<class Base>
class SharedClientSuite
    : public Base
    , public testing::WithParamInterface<ServerMode>
{
protected:
    void SetUp() override
    {
        Base::SetUp();
        Shared().FtpClient = std::make_unique<cFTP>();
        server = startOrSkip(GetParam(), ServerAccess::LocalFolder);
        if (!server)
            return;
        cFTP &client = *Shared().FtpClient;
        if (GetParam().passive)
            client.SetModePassive();
        ASSERT_TRUE(client.OpenConnection(server->site(), server->user(), server->password()))
            << client.GetLastErrorMessage().toStdString();
        Shared().HomeDir = client.GetFTPDirectory();
    }

    void TearDown() override
    {
        if (Shared().FtpClient)
            Shared().FtpClient->CloseConnection();
        server.reset();
        Base::TearDown();
    }

    std::unique_ptr<FtpTestServer> server;
};

// The names a listing of the client gives, sorted, folders marked with a trailing "/".
inline QStringList listedNames(cFTP &client, const QString &filter)
{
    client.GetDirectoryListing(filter);
    QStringList names;
    for (const cDirItem &item : *client.Directory())
        names << item.Filename + (item.Directory ? QStringLiteral("/") : QString());
    names.sort();
    return names;
}

// Bytes of a given size that differ from file to file and repeat from run to run, so that a
// transfer that drops, repeats or swaps blocks shows.
inline QByteArray patterned(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator{quint32(size)};
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

// The bytes each transfer's data connection carried, in their order, as the scripted server
// (scripted_ftpd.py) logs them.
inline QList<qint64> movedBytes(const QString &logPath)
{
    QFile log(logPath);
    QList<qint64> moved;
    if (!log.open(QIODevice::ReadOnly))
        return moved;
    for (const QByteArray &line : log.readAll().split('\n')) {
        if (line.startsWith("MOVED "))
            moved.append(line.mid(6).toLongLong());
    }
    return moved;
}
