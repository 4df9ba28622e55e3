// The texts the engine reads and writes besides listings: server names, data connection
// replies and arguments.

#include "support/VellixTest.h"

#include "transport/DataConnection.h"
#include "transport/HashCommand.h"
#include "transport/ServerAddress.h"

using namespace Qt::StringLiterals;
using namespace Ftp;

TEST(ServerAddressTest, ParsesHostsPortsAndIpv6)
{
    struct Case
    {
        QString server;
        QString host;
        quint16 port;
    };
    const Case cases[] = {
        {u"ftp.example.org"_s, u"ftp.example.org"_s, 21},
        {u" ftp.example.org:2121 "_s, u"ftp.example.org"_s, 2121},
        {u"10.0.0.1:65535"_s, u"10.0.0.1"_s, 65535},
        {u"[::1]:2121"_s, u"::1"_s, 2121},
        {u"[fe80::1%eth0]"_s, u"fe80::1%eth0"_s, 21},
        {u"::1"_s, u"::1"_s, 21},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.server.toStdString());
        const auto address = ServerAddress::parse(test.server);
        ASSERT_TRUE(address);
        EXPECT_EQ(std::pair(address->host, address->port), std::pair(test.host, test.port));
    }
    for (const QString &refused : {u"host:0"_s, u"host:65536"_s, u"host:ftp"_s, u"host:"_s,
                                   u"[::1"_s, u"[::1]x"_s, u":21"_s, QString()})
        EXPECT_FALSE(ServerAddress::parse(refused)) << refused.toStdString();
}

TEST(DataConnectionTest, ReadsPassiveReplies)
{
    struct Case
    {
        QString reply;
        std::optional<quint16> port;
    };
    // EPSV's replies begin "229", PASV's "227".
    const Case cases[] = {
        {u"229 Entering Extended Passive Mode (|||6446|)"_s, 6446},
        {u"229 Entering Extended Passive Mode (!!!21!)"_s, 21},
        {u"229 Extended Passive Mode OK (|||65535|)"_s, 65535},
        {u"229 Entering Extended Passive Mode (|||70000|)"_s, std::nullopt},
        {u"229 Entering Extended Passive Mode (||6446|)"_s, std::nullopt},
        {u"229 nonsense"_s, std::nullopt},
        {u"227 Entering Passive Mode (192,168,1,2,19,137)"_s, 19 * 256 + 137},
        {u"227 Entering Passive Mode 10,0,0,1,4,1"_s, 1025},
        {u"227 =127,0,0,1,255,255"_s, 65535},
        {u"227 Entering Passive Mode (1,2,3,4,256,1)"_s, std::nullopt},
        {u"227 Entering Passive Mode (1,2,3,4,0,0)"_s, std::nullopt},
        {u"227 Entering Passive Mode"_s, std::nullopt},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.reply.toStdString());
        EXPECT_EQ(test.reply.startsWith(u"229"_s) ? DataConnection::parseEpsvReply(test.reply)
                                                  : DataConnection::parsePasvReply(test.reply),
                  test.port);
    }
}

// EPRT over IPv6 is the IPv6 server scenario's; the engine sends EPRT over IPv4 to no server yet.
TEST(DataConnectionTest, WritesActiveArguments)
{
    EXPECT_EQ(DataConnection::portArgument(QHostAddress(u"127.0.0.1"_s), 50000),
              "127,0,0,1,195,80");
    EXPECT_EQ(DataConnection::eprtArgument(QHostAddress(u"127.0.0.1"_s), 50000),
              "|1|127.0.0.1|50000|");
}

// The strongest hash a server's features offer, how HASH selects it, and the hash in a reply.
TEST(HashCommandTest, ChoosesTheStrongestOfferedAndReadsItsReply)
{
    const QByteArray sha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
    const struct
    {
        QStringList features;
        QByteArray verb; // empty: no command
        QString selection;
        QString reply;
        QByteArray digest;
    } cases[] = {
        {{u" HASH SHA-256;SHA-1*;MD5"_s}, "HASH", u"HASH SHA-256"_s, {}, {}},
        {{u" HASH CRC32;SHA-1*"_s, u" XSHA256"_s},
         "HASH",
         {},
         u"213 SHA-1 0-2 "_s + QString::fromLatin1(sha1.toUpper()) + u" my file.txt"_s,
         sha1},
        {{u" XMD5"_s, u" XSHA1"_s}, "XSHA1", {}, u"250 "_s + QString::fromLatin1(sha1), sha1},
        {{u" XSHA1"_s}, "XSHA1", {}, u"250 not a hash"_s, {}},
        {{u" HASH CRC32*"_s, u" MDTM"_s}, {}, {}, {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.features.join(u'|').toStdString());
        const std::optional<HashCommand> command = HashCommand::fromFeatures(c.features);
        ASSERT_EQ(command.has_value(), !c.verb.isEmpty());
        if (command) {
            EXPECT_EQ(std::tuple(command->verb(), command->selection(), command->digestIn(c.reply)),
                      std::tuple(c.verb, c.selection, c.digest));
        }
    }
}
