// The texts the engine reads and writes besides listings: server names, data connection
// replies and arguments.

#include "support/VellixTest.h"

#include "transport/DataConnection.h"
#include "transport/ServerAddress.h"

using namespace Ftp;

TEST(ServerAddressTest, ParsesHostsPortsAndIpv6)
{
    struct Case
    {
        QString server;
        QString host; // empty: refused
        quint16 port;
    };
    const Case cases[] = {
        {QStringLiteral("ftp.example.org"), QStringLiteral("ftp.example.org"), 21},
        {QStringLiteral(" ftp.example.org:2121 "), QStringLiteral("ftp.example.org"), 2121},
        {QStringLiteral("10.0.0.1:65535"), QStringLiteral("10.0.0.1"), 65535},
        {QStringLiteral("[::1]:2121"), QStringLiteral("::1"), 2121},
        {QStringLiteral("[fe80::1%eth0]"), QStringLiteral("fe80::1%eth0"), 21},
        {QStringLiteral("::1"), QStringLiteral("::1"), 21},
        {QStringLiteral("host:0"), {}, 0},
        {QStringLiteral("host:65536"), {}, 0},
        {QStringLiteral("host:ftp"), {}, 0},
        {QStringLiteral("host:"), {}, 0},
        {QStringLiteral("[::1"), {}, 0},
        {QStringLiteral("[::1]x"), {}, 0},
        {QStringLiteral(":21"), {}, 0},
        {QString(), {}, 0},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.server.toStdString());
        const auto address = ServerAddress::parse(test.server);
        if (test.host.isEmpty()) {
            EXPECT_FALSE(address);
            continue;
        }
        ASSERT_TRUE(address);
        EXPECT_EQ(address->host, test.host);
        EXPECT_EQ(address->port, test.port);
    }
}

TEST(DataConnectionTest, ReadsPassiveReplies)
{
    struct Case
    {
        QString reply;
        std::optional<quint16> port;
    };
    const Case epsv[] = {
        {QStringLiteral("229 Entering Extended Passive Mode (|||6446|)"), 6446},
        {QStringLiteral("229 Entering Extended Passive Mode (!!!21!)"), 21},
        {QStringLiteral("229 Extended Passive Mode OK (|||65535|)"), 65535},
        {QStringLiteral("229 Entering Extended Passive Mode (|||70000|)"), std::nullopt},
        {QStringLiteral("229 Entering Extended Passive Mode (||6446|)"), std::nullopt},
        {QStringLiteral("229 nonsense"), std::nullopt},
    };
    for (const Case &test : epsv) {
        SCOPED_TRACE(test.reply.toStdString());
        EXPECT_EQ(DataConnection::parseEpsvReply(test.reply), test.port);
    }
    const Case pasv[] = {
        {QStringLiteral("227 Entering Passive Mode (192,168,1,2,19,137)"), 19 * 256 + 137},
        {QStringLiteral("227 Entering Passive Mode 10,0,0,1,4,1"), 1025},
        {QStringLiteral("227 =127,0,0,1,255,255"), 65535},
        {QStringLiteral("227 Entering Passive Mode (1,2,3,4,256,1)"), std::nullopt},
        {QStringLiteral("227 Entering Passive Mode (1,2,3,4,0,0)"), std::nullopt},
        {QStringLiteral("227 Entering Passive Mode"), std::nullopt},
    };
    for (const Case &test : pasv) {
        SCOPED_TRACE(test.reply.toStdString());
        EXPECT_EQ(DataConnection::parsePasvReply(test.reply), test.port);
    }
}

TEST(DataConnectionTest, WritesActiveArguments)
{
    EXPECT_EQ(DataConnection::portArgument(QHostAddress(QStringLiteral("127.0.0.1")), 50000),
              "127,0,0,1,195,80");
    EXPECT_EQ(DataConnection::eprtArgument(QHostAddress(QStringLiteral("127.0.0.1")), 50000),
              "|1|127.0.0.1|50000|");
    EXPECT_EQ(DataConnection::eprtArgument(QHostAddress(QStringLiteral("::1")), 2121),
              "|2|::1|2121|");
}
