#include "servers/FtpTestServer.h"

#include "servers/ServerProcess.h"
#include "servers/VsftpdAccount.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Where vsftpd's sessions wait for their chroot: an empty folder that only root may write.
constexpr QLatin1String secureChrootDir("/var/run/vsftpd/empty");

void setReason(QString *why, const QString &reason)
{
    if (why)
        *why = reason;
}

} // namespace

FtpTestServer::FtpTestServer(Kind kind)
    : m_kind(kind)
{}

FtpTestServer::~FtpTestServer() = default;

std::unique_ptr<FtpTestServer> FtpTestServer::start(Kind kind, QString *why, bool ipv6)
{
    QString reason;
    std::unique_ptr<FtpTestServer> server;
    if (ipv6 && kind != Kind::Pyftpdlib)
        reason = u"only pyftpdlib is started on ::1"_s;
    else if (kind == Kind::Pyftpdlib)
        server = startPyftpdlib(ipv6, Faults(), &reason);
    else if (kind == Kind::PyftpdlibTls)
        server = startPython(kind, u"pyftpd_server.py"_s, {}, false, &reason);
    else if (kind == Kind::Vsftpd || kind == Kind::VsftpdTls)
        server = startVsftpd(&reason, true, kind == Kind::VsftpdTls);
    else
        server = startExternal(&reason);
    if (!server)
        setReason(why, u"%1: %2"_s.arg(kindName(kind), reason));
    return server;
}

std::unique_ptr<FtpTestServer> FtpTestServer::startWithoutActiveMode(QString *why)
{
    QString reason;
    auto server = startVsftpd(&reason, false);
    if (!server)
        setReason(why, u"vsftpd: "_s + reason);
    return server;
}

std::unique_ptr<FtpTestServer> FtpTestServer::startFaulty(const Faults &faults, QString *why)
{
    QString reason;
    auto server = startPyftpdlib(false, faults, &reason);
    if (!server)
        setReason(why, u"pyftpdlib: "_s + reason);
    return server;
}

QList<FtpTestServer::Kind> FtpTestServer::kinds()
{
    QList<Kind> result{Kind::Pyftpdlib, Kind::Vsftpd};
    if (unavailableReason(Kind::External).isEmpty())
        result << Kind::External;
    return result;
}

QString FtpTestServer::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Pyftpdlib:
        return u"pyftpdlib"_s;
    case Kind::Vsftpd:
        return u"vsftpd"_s;
    case Kind::External:
        return u"external"_s;
    case Kind::Scripted:
        return u"scripted"_s;
    case Kind::VsftpdTls:
        return u"vsftpd_tls"_s;
    case Kind::PyftpdlibTls:
        return u"pyftpdlib_tls"_s;
    }
    return {};
}

QString FtpTestServer::unavailableReason(Kind kind)
{
    if ((kind == Kind::Vsftpd || kind == Kind::VsftpdTls) && geteuid() != 0)
        return u"not root, cannot create the vsftpd account \"%1\""_s.arg(VsftpdAccount::name());
    if (kind == Kind::External && qEnvironmentVariableIsEmpty("VELLIX_TEST_FTP"))
        return u"VELLIX_TEST_FTP names no external FTP server"_s;
    return {};
}

quint16 FtpTestServer::unusedPort()
{
    // A socket bound to a port but never listening keeps the port taken for this process, and
    // the system refuses connections to it.
    static const quint16 port = [] {
        const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (socket < 0 || ::bind(socket, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
            ::getsockname(socket, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return quint16(0);
        return quint16(ntohs(address.sin_port));
    }();
    return port;
}

bool FtpTestServer::suspend()
{
    return (m_kind == Kind::Pyftpdlib || m_kind == Kind::PyftpdlibTls) && m_process->suspend();
}

bool FtpTestServer::resume()
{
    return (m_kind == Kind::Pyftpdlib || m_kind == Kind::PyftpdlibTls) && m_process->resume();
}

// The temporary folder holds the server's configuration and log next to "root", the folder it
// serves, so that they never show in a listing.
bool FtpTestServer::makeFolders(QString *why)
{
    m_dir = std::make_unique<QTemporaryDir>(QDir::temp().filePath(u"vellix-ftp-XXXXXX"_s));
    m_rootPath = m_dir->filePath(u"root"_s);
    if (m_dir->isValid() && QDir().mkdir(m_rootPath))
        return true;
    *why = u"cannot create a temporary folder: %1"_s.arg(m_dir->errorString());
    return false;
}

std::unique_ptr<FtpTestServer> FtpTestServer::startPyftpdlib(bool ipv6, const Faults &faults,
                                                             QString *why)
{
    QStringList extra;
    if (!faults.dropAfter.isEmpty())
        extra << u"--drop-after"_s << faults.dropAfter;
    if (faults.logins >= 0)
        extra << u"--logins"_s << QString::number(faults.logins);
    if (faults.rate > 0)
        extra << u"--rate"_s << QString::number(faults.rate);
    if (!faults.faultFile.isEmpty())
        extra << u"--fault-file"_s << faults.faultFile;
    return startPython(Kind::Pyftpdlib, u"pyftpd_server.py"_s, extra, ipv6, why);
}

std::unique_ptr<FtpTestServer> FtpTestServer::startScripted(const QString &fault, QString *why)
{
    QString reason;
    auto server =
        startPython(Kind::Scripted, u"scripted_ftpd.py"_s, {u"--fault"_s, fault}, false, &reason);
    if (!server)
        setReason(why, u"scripted server: "_s + reason);
    return server;
}

std::unique_ptr<FtpTestServer> FtpTestServer::startPython(Kind kind, const QString &script,
                                                          const QStringList &extra, bool ipv6,
                                                          QString *why)
{
    std::unique_ptr<FtpTestServer> server(new FtpTestServer(kind));
    server->m_host = ipv6 ? u"::1"_s : u"127.0.0.1"_s;
    server->m_user = u"vellixftp"_s;
    server->m_password = u"Vellix pässword 7"_s;
    server->m_homeDir = u"/"_s;
    if (!server->makeFolders(why))
        return nullptr;
    server->m_logPath = server->m_dir->filePath(u"server.log"_s);
    QStringList tls;
    if (kind == Kind::PyftpdlibTls) {
        if (!server->makeCertificate(why))
            return nullptr;
        tls = {u"--certfile"_s, server->m_certificatePath, u"--keyfile"_s, server->m_keyPath};
    }

    const QString banner = ServerProcess::uniqueTag();
    server->m_process = std::make_unique<ServerProcess>(server->m_dir->filePath(u"errors.txt"_s));
    // Debian's own interpreter, isolated from the user's Python set-up: pyftpdlib is a Debian
    // package.
    const QStringList arguments =
        QStringList{u"-I"_s,       QStringLiteral(VELLIX_TEST_SERVERS_DIR) + u'/' + script,
                    u"--host"_s,   server->m_host,
                    u"--user"_s,   server->m_user,
                    u"--home"_s,   server->m_rootPath,
                    u"--banner"_s, banner,
                    u"--log"_s,    server->m_logPath} +
        extra + tls;
    if (!server->m_process->start(u"/usr/bin/python3"_s, arguments,
                                  server->m_password.toUtf8() + '\n', why))
        return nullptr;
    const QByteArray portLine =
        server->m_process->readLine(QDeadlineTimer(ServerProcess::startLimitMs));
    server->m_port = portLine.toUShort();
    if (server->m_port == 0) {
        *why = u"no port reported: %1"_s.arg(server->m_process->errorOutput());
        return nullptr;
    }
    if (server->m_process->waitUntilServing(server->m_host, server->m_port, banner, why) !=
        ServerProcess::Readiness::Ready)
        return nullptr;
    return server;
}

QString FtpTestServer::vsftpdConfig(quint16 port, const QString &banner, bool activeMode) const
{
    const QString configuration = ServerProcess::serversFile(u"vsftpd.conf.in"_s);
    if (configuration.isEmpty())
        return {};
    const QString tls = m_certificatePath.isEmpty()
                            ? u"ssl_enable=NO"_s
                            : u"ssl_enable=YES\n"
                              "rsa_cert_file=%1\n"
                              "rsa_private_key_file=%2\n"
                              "ssl_ciphers=HIGH\n"
                              "force_local_logins_ssl=YES\n"
                              "force_local_data_ssl=YES\n"
                              "require_ssl_reuse=YES"_s.arg(m_certificatePath, m_keyPath);
    return QString(configuration)
        .replace(u"@PORT@"_s, QString::number(port))
        .replace(u"@BANNER@"_s, banner)
        .replace(u"@ROOT@"_s, m_rootPath)
        .replace(u"@LOG@"_s, m_logPath)
        .replace(u"@EMPTY_DIR@"_s, secureChrootDir)
        .replace(u"@PORT_ENABLE@"_s, activeMode ? u"YES"_s : u"NO"_s)
        .replace(u"@TLS@"_s, tls);
}

bool FtpTestServer::makeCertificate(QString *why)
{
    m_certificatePath = m_dir->filePath(u"certificate.pem"_s);
    m_keyPath = m_dir->filePath(u"key.pem"_s);
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(u"openssl"_s,
                  {u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s,
                   u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s, u"-days"_s, u"2"_s, u"-subj"_s,
                   u"/CN=localhost"_s, u"-addext"_s, u"subjectAltName=IP:127.0.0.1,DNS:localhost"_s,
                   u"-keyout"_s, m_keyPath, u"-out"_s, m_certificatePath});
    if (openssl.waitForFinished(ServerProcess::startLimitMs) &&
        openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0)
        return true;
    *why = u"cannot make a certificate with openssl: %1 %2"_s.arg(
        openssl.errorString(), QString::fromLocal8Bit(openssl.readAll()));
    return false;
}

std::unique_ptr<FtpTestServer> FtpTestServer::startVsftpd(QString *why, bool activeMode, bool tls)
{
    if (const QString reason = unavailableReason(Kind::Vsftpd); !reason.isEmpty()) {
        *why = reason;
        return nullptr;
    }
    if (!VsftpdAccount::ensure(why))
        return nullptr;
    // Debian's package creates this folder only when its own service starts.
    if (!QDir().mkpath(QString(secureChrootDir))) {
        *why = u"cannot create "_s + secureChrootDir;
        return nullptr;
    }

    std::unique_ptr<FtpTestServer> server(new FtpTestServer(Kind::Vsftpd));
    server->m_host = u"127.0.0.1"_s;
    server->m_user = VsftpdAccount::name();
    server->m_password = VsftpdAccount::password();
    server->m_homeDir = u"/"_s;
    if (!server->makeFolders(why))
        return nullptr;
    server->m_logPath = server->m_dir->filePath(u"vsftpd.log"_s);
    if (!VsftpdAccount::grantServedFolder(server->m_dir->path(), server->m_rootPath, why))
        return nullptr;
    if (tls && !server->makeCertificate(why))
        return nullptr;

    const QString configPath = server->m_dir->filePath(u"vsftpd.conf"_s);
    // vsftpd writes its fatal errors to descriptor 0.
    const ServerProcess::Launch launch{u"/usr/sbin/vsftpd"_s,
                                       {configPath},
                                       server->m_dir->filePath(u"errors.txt"_s),
                                       true,
                                       configPath,
                                       [&server, activeMode](quint16 port, const QString &tag) {
                                           return server->vsftpdConfig(port, tag, activeMode);
                                       }};
    server->m_process = ServerProcess::startOnFreePort(launch, &server->m_port, why);
    return server->m_process ? std::move(server) : nullptr;
}

std::unique_ptr<FtpTestServer> FtpTestServer::startExternal(QString *why)
{
    if (const QString reason = unavailableReason(Kind::External); !reason.isEmpty()) {
        *why = reason;
        return nullptr;
    }
    std::unique_ptr<FtpTestServer> server(new FtpTestServer(Kind::External));
    return server->takeExternal("VELLIX_TEST_FTP", why) ? std::move(server) : nullptr;
}
