// The engine over explicit TLS, against a server that refuses clear text and requires every
// data connection to resume the control connection's TLS session.

#include "servers/ServerModes.h"
#include "support/FullDisk.h"
#include "support/VellixTest.h"

#include "transport/CertificateTrust.h"
#include "transport/InternetError.h"
#include "transport/KnownCertificates.h"
#include "transport/Session.h"
#include "transport/cFTP.h"

#include <QSslCertificate>
#include <QSslCipher>
#include <QSslConfiguration>

using namespace Qt::StringLiterals;
using Ftp::TlsMode;
using Ftp::InternetError::Code;

class TlsSessionTest : public VellixTest
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        server = startOrSkip(FtpTestServer::Kind::VsftpdTls);
        if (!server)
            return;
        const auto certificates = QSslCertificate::fromPath(server->certificatePath());
        ASSERT_EQ(certificates.size(), 1);
        testCertificate = certificates.first();
    }

    // Accepts the server's own certificate, which the system's store rightly finds untrusted.
    void acceptTestCertificate()
    {
        session.setCertificateCheck([this](const QString &, quint16, const QSslCertificate &seen,
                                           const QList<QSslError> &) {
            return seen == testCertificate ? QString() : u"not the test's"_s;
        });
    }

    bool connect() { return session.connect(server->site(), server->user(), server->password()); }

    std::unique_ptr<FtpTestServer> server;
    QSslCertificate testCertificate;
    Ftp::Session session;
};

// A failed handshake or a refused certificate ends the login, with no way back to clear text.
// Certificates the store does not vouch for are pinned on first use and held to it.
TEST_F(TlsSessionTest, TheLoginNeedsAHandshakeAndATrustedOrPinnedCertificate)
{
    // Only a cipher that the server's EC key cannot serve.
    const QSslConfiguration before = QSslConfiguration::defaultConfiguration();
    QSslConfiguration narrow = before;
    narrow.setProtocol(QSsl::TlsV1_2);
    narrow.setCiphers({QSslCipher(u"AES128-SHA"_s)});
    QSslConfiguration::setDefaultConfiguration(narrow);
    acceptTestCertificate();
    const bool connected = connect();
    QSslConfiguration::setDefaultConfiguration(before);
    EXPECT_FALSE(connected);
    EXPECT_EQ(session.lastError(), Code::SecureChannelError);
    EXPECT_FALSE(session.lastResponse().isEmpty());
    EXPECT_FALSE(session.isConnected());
    // Nothing of the login went out, in clear text or otherwise.
    EXPECT_FALSE(readFile(server->logPath()).contains("USER"))
        << readFile(server->logPath()).toStdString();

    // Without a check of its own the session trusts the system's store, which does not know
    // the server's self-signed certificate.
    session.setCertificateCheck({});
    ASSERT_FALSE(connect());
    EXPECT_EQ(session.lastError(), Code::SecureChannelError);
    EXPECT_TRUE(session.lastResponse().contains(u"self signed", Qt::CaseInsensitive) ||
                session.lastResponse().contains(u"self-signed", Qt::CaseInsensitive))
        << session.lastResponse().toStdString();
    EXPECT_FALSE(session.isConnected());

    // A check's refusal, its reasons and the TLS version are told in the pin scenario that
    // follows and the command line's; here the check's acceptance is enough.
    acceptTestCertificate();
    ASSERT_TRUE(connect()) << session.lastError() << " " << session.lastResponse().toStdString();
    EXPECT_EQ(session.serverCertificate(), testCertificate);

    // The client's trust: the system's store, else a pin made on first use; a server that spoke
    // TLS is expected to go on doing so.
    const QString fingerprint = Ftp::CertificateTrust::fingerprint(testCertificate);
    const QString pinLine = Ftp::KnownCertificates::serverName(server->host(), server->port()) +
                            u' ' + fingerprint + u'\n';
    cFTP client;
    auto open = [&] {
        return client.OpenConnection(server->site(), server->user(), server->password());
    };
    ASSERT_TRUE(open()) << client.GetLastErrorMessage().toStdString();
    EXPECT_TRUE(client.newCertificateText().endsWith(u"accepted and pinned: "_s + fingerprint))
        << client.newCertificateText().toStdString();
    EXPECT_EQ(readFile(Ftp::KnownCertificates::filePath()), pinLine.toUtf8());
    EXPECT_EQ(QFile::permissions(Ftp::KnownCertificates::filePath()) & 0x0077, 0);

    // A pinned certificate seen again is told only on request (the command line's -v).
    ASSERT_TRUE(open());
    EXPECT_EQ(client.newCertificateText(), QString());

    // Another certificate under the same name is refused, naming the file to edit.
    const QByteArray otherPin = pinLine.section(u' ', 0, 0).toUtf8() + " SHA256:00:11\n";
    writeFile(Ftp::KnownCertificates::filePath(), otherPin);
    EXPECT_FALSE(open());
    EXPECT_TRUE(client.GetLastErrorMessage().contains(u"has changed"_s));
    EXPECT_TRUE(client.GetLastErrorMessage().contains(Ftp::KnownCertificates::filePath()))
        << client.GetLastErrorMessage().toStdString();
    EXPECT_EQ(readFile(Ftp::KnownCertificates::filePath()), otherPin);

    // A server that the store vouches for is not held to a pin: its renewals are accepted.
    QSslConfiguration trusting = before;
    trusting.addCaCertificate(testCertificate);
    QSslConfiguration::setDefaultConfiguration(trusting);
    const bool trusted = open();
    QSslConfiguration::setDefaultConfiguration(before);
    EXPECT_TRUE(trusted) << client.GetLastErrorMessage().toStdString();
    EXPECT_TRUE(client.certificateStatus().contains(u"verified"_s));
    EXPECT_EQ(client.newCertificateText(), QString());
    EXPECT_TRUE(readFile(Ftp::KnownCertificates::filePath()).endsWith(pinLine.toUtf8()));

    // The same name without TLS now is a downgrade, which the automatic mode refuses (the upload
    // command's scenario), and only that mode: with TLS off the user asked for clear text.
    QString why;
    const auto plain = FtpTestServer::start(FtpTestServer::Kind::Pyftpdlib, &why);
    ASSERT_TRUE(plain) << why.toStdString();
    ASSERT_TRUE(Ftp::KnownCertificates::record(plain->host(), plain->port(), fingerprint, &why));
    client.setTlsMode(TlsMode::Off);
    EXPECT_TRUE(client.OpenConnection(plain->site(), plain->user(), plain->password()));
}

// A pin is recorded only where the pins before it stay: a file that cannot be read (a pipe in
// its place) is not rewritten, and a full disk leaves the old file whole.
TEST_F(VellixTest, APinThatCannotBeWrittenLeavesThePinsBeforeIt)
{
    const QString pins = Ftp::KnownCertificates::filePath();
    QString why;
    ASSERT_TRUE(makePipe(pins));
    EXPECT_FALSE(Ftp::KnownCertificates::record(u"a.example"_s, 21, u"SHA256:01"_s, &why));
    EXPECT_TRUE(isPipe(pins));

    const FullDisk disk(tempPath(u"full"_s));
    if (!disk.isMounted())
        GTEST_SKIP() << "cannot mount a small disk here";
    const QByteArray before = "b.example:21 SHA256:02\n";
    const QString kept = writeFile(tempPath(u"full/known_certs"_s), before);
    ASSERT_TRUE(QFile::remove(pins) && QFile::link(kept, pins));
    disk.fill();
    EXPECT_FALSE(Ftp::KnownCertificates::record(u"a.example"_s, 21, u"SHA256:01"_s, &why));
    EXPECT_TRUE(why.contains(u"No space left"_s)) << why.toStdString();
    EXPECT_EQ(readFile(kept), before);
}
