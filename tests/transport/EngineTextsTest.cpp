// The texts the engine reads and writes besides listings: server names, data connection
// replies and arguments.

#include "support/VellixTest.h"

#include "transport/DataConnection.h"
#include "transport/ServerAddress.h"

using namespace Qt::StringLiterals;
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
        {u"ftp.example.org"_s, u"ftp.example.org"_s, 21},
        {u" ftp.example.org:2121 "_s, u"ftp.example.org"_s, 2121},
        {u"10.0.0.1:65535"_s, u"10.0.0.1"_s, 65535},
        {u"[::1]:2121"_s, u"::1"_s, 2121},
        {u"[fe80::1%eth0]"_s, u"fe80::1%eth0"_s, 21},
        {u"::1"_s, u"::1"_s, 21},
        {u"host:0"_s, {}, 0},
        {u"host:65536"_s, {}, 0},
        {u"host:ftp"_s, {}, 0},
        {u"host:"_s, {}, 0},
        {u"[::1"_s, {}, 0},
        {u"[::1]x"_s, {}, 0},
        {u":21"_s, {}, 0},
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
        {u"229 Entering Extended Passive Mode (|||6446|)"_s, 6446},
        {u"229 Entering Extended Passive Mode (!!!21!)"_s, 21},
        {u"229 Extended Passive Mode OK (|||65535|)"_s, 65535},
        {u"229 Entering Extended Passive Mode (|||70000|)"_s, std::nullopt},
        {u"229 Entering Extended Passive Mode (||6446|)"_s, std::nullopt},
        {u"229 nonsense"_s, std::nullopt},
    };
    for (const Case &test : epsv) {
        SCOPED_TRACE(test.reply.toStdString());
        EXPECT_EQ(DataConnection::parseEpsvReply(test.reply), test.port);
    }
    const Case pasv[] = {
        {u"227 Entering Passive Mode (192,168,1,2,19,137)"_s, 19 * 256 + 137},
        {u"227 Entering Passive Mode 10,0,0,1,4,1"_s, 1025},
        {u"227 =127,0,0,1,255,255"_s, 65535},
        {u"227 Entering Passive Mode (1,2,3,4,256,1)"_s, std::nullopt},
        {u"227 Entering Passive Mode (1,2,3,4,0,0)"_s, std::nullopt},
        {u"227 Entering Passive Mode"_s, std::nullopt},
    };
    for (const Case &test : pasv) {
        SCOPED_TRACE(test.reply.toStdString());
        EXPECT_EQ(DataConnection::parsePasvReply(test.reply), test.port);
    }
}

TEST(DataConnectionTest, WritesActiveArguments)
{
    EXPECT_EQ(DataConnection::portArgument(QHostAddress(u"127.0.0.1"_s), 50000),
              "127,0,0,1,195,80");
    EXPECT_EQ(DataConnection::eprtArgument(QHostAddress(u"127.0.0.1"_s), 50000),
              "|1|127.0.0.1|50000|");
    EXPECT_EQ(DataConnection::eprtArgument(QHostAddress(u"::1"_s), 2121), "|2|::1|2121|");
}
