#pragma once

#include "servers/FtpTestServer.h"
#include "servers/SftpTestServer.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>

// What a test needs of its server beyond the protocol.
enum class ServerAccess {
    ProtocolOnly,
    LocalFolder, // the test lays out or reads the served folder on this machine's disk
};

namespace ServerStart {

// The reason to skip a test of a server of that kind, or empty.
template<class Server>
QString skipReason(typename Server::Kind kind, ServerAccess access)
{
    QString reason = Server::unavailableReason(kind);
    if (reason.isEmpty() && access == ServerAccess::LocalFolder && kind == Server::Kind::External)
        reason = QStringLiteral("the server's folder is not on this machine");
    return reason;
}

} // namespace ServerStart

// Starts the server a test needs with start(&why). When `unavailable` names a reason (this
// machine cannot run that kind at all, or the test needs a folder the server keeps elsewhere), the
// test is skipped; any other failure to start fails it, fatally, so that a fixture's SetUp ends
// the test before its body meets the missing server. Either way the result is null, and the
// caller returns at once:
//     server = startOrSkip(GetParam().kind);
//     if (!server)
//         return;
template<class Start>
auto startOrSkip(const QString &unavailable, Start &&start) -> decltype(start(nullptr))
{
    if (!unavailable.isEmpty()) {
        [&unavailable] { GTEST_SKIP() << unavailable.toStdString(); }();
        return nullptr;
    }
    QString why;
    auto server = start(&why);
    // FAIL only works in a function returning void, as GTEST_SKIP.
    if (!server)
        [&why] { FAIL() << why.toStdString(); }();
    return server;
}

inline std::unique_ptr<FtpTestServer> startOrSkip(FtpTestServer::Kind kind,
                                                  ServerAccess access = ServerAccess::ProtocolOnly)
{
    return startOrSkip(ServerStart::skipReason<FtpTestServer>(kind, access),
                       [kind](QString *why) { return FtpTestServer::start(kind, why); });
}

inline std::unique_ptr<SftpTestServer>
startOrSkip(SftpTestServer::Kind kind, ServerAccess access = ServerAccess::ProtocolOnly,
            SftpTestServer::HostKeys shown = SftpTestServer::HostKeys::Ed25519)
{
    return startOrSkip(
        ServerStart::skipReason<SftpTestServer>(kind, access),
        [kind, shown](QString *why) { return SftpTestServer::start(kind, why, shown); });
}
