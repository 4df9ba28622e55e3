#include "servers/FtpTestServer.h"

#include "servers/ServerProcess.h"
#include "servers/VsftpdAccount.h"

#include <QDeadlineTimer>

#include <unistd.h>

using namespace Qt::StringLiterals;

std::unique_ptr<FtpTestServer> FtpTestServer::start(Kind kind, QString *why, bool ipv6)
{
    return started(kindName(kind), why, [kind, ipv6](QString *reason) {
        std::unique_ptr<FtpTestServer> server;
        if (ipv6 && kind != Kind::Pyftpdlib)
            *reason = u"only pyftpdlib is started on ::1"_s;
        else if (kind == Kind::Pyftpdlib || kind == Kind::PyftpdlibTls)
            server = startPython(kind, {}, ipv6, reason);
        else if (kind == Kind::Vsftpd || kind == Kind::VsftpdTls)
            server = startVsftpd(reason, true, kind == Kind::VsftpdTls);
        else {
            server.reset(new FtpTestServer(Kind::External));
            if (!server->takeExternal("VELLIX_TEST_FTP", reason))
                server.reset();
        }
        return server;
    });
}

std::unique_ptr<FtpTestServer> FtpTestServer::startWithoutActiveMode(QString *why)
{
    return started(u"vsftpd"_s, why, [](QString *reason) { return startVsftpd(reason, false); });
}

std::unique_ptr<FtpTestServer> FtpTestServer::startFaulty(const Faults &faults, QString *why)
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
    return started(u"pyftpdlib"_s, why, [&extra](QString *reason) {
        return startPython(Kind::Pyftpdlib, extra, false, reason);
    });
}

std::unique_ptr<FtpTestServer> FtpTestServer::startScripted(const QString &fault, QString *why)
{
    return started(u"scripted server"_s, why, [&fault](QString *reason) {
        return startPython(Kind::Scripted, {u"--fault"_s, fault}, false, reason);
    });
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
    static const QStringList names{u"pyftpdlib"_s, u"vsftpd"_s,     u"external"_s,
                                   u"scripted"_s,  u"vsftpd_tls"_s, u"pyftpdlib_tls"_s};
    return names.value(int(kind));
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
    // The socket stays open, bound and never listening, for the rest of the test program.
    static const quint16 port = [] {
        quint16 bound = 0;
        return ServerProcess::loopbackSocket(false, &bound) < 0 ? quint16(0) : bound;
    }();
    return port;
}

bool FtpTestServer::suspend()
{
    return isPython() && m_process->suspend();
}

bool FtpTestServer::resume()
{
    return isPython() && m_process->resume();
}

std::unique_ptr<FtpTestServer> FtpTestServer::startPython(Kind kind, const QStringList &extra,
                                                          bool ipv6, QString *why)
{
    std::unique_ptr<FtpTestServer> server(new FtpTestServer(kind));
    if (ipv6)
        server->m_host = u"::1"_s;
    server->m_user = u"vellixftp"_s;
    server->m_password = u"Vellix pässword 7"_s;
    server->m_homeDir = u"/"_s;
    if (!server->makeFolders(u"ftp"_s, u"server.log"_s, why) ||
        (kind == Kind::PyftpdlibTls && !server->makeCertificate(why)))
        return nullptr;
    const QStringList tls{u"--certfile"_s, server->m_certificatePath, u"--keyfile"_s,
                          server->m_keyPath};
    const QString script = kind == Kind::Scripted ? u"scripted_ftpd.py"_s : u"pyftpd_server.py"_s;
    const QString banner = ServerProcess::uniqueTag();
    server->m_process = std::make_unique<ServerProcess>(server->folderPath(u"errors.txt"_s));
    // Debian's own interpreter, isolated from the user's Python set-up: pyftpdlib is a Debian
    // package.
    const QStringList arguments =
        QStringList{u"-I"_s,       QStringLiteral(VELLIX_TEST_SERVERS_DIR) + u'/' + script,
                    u"--host"_s,   server->m_host,
                    u"--user"_s,   server->m_user,
                    u"--home"_s,   server->m_rootPath,
                    u"--banner"_s, banner,
                    u"--log"_s,    server->m_logPath} +
        extra + (kind == Kind::PyftpdlibTls ? tls : QStringList());
    if (!server->m_process->start(u"/usr/bin/python3"_s, arguments,
                                  server->m_password.toUtf8() + '\n', why))
        return nullptr;
    // The server binds a free port of its own choosing and reports it on its first line.
    server->m_port =
        server->m_process->readLine(QDeadlineTimer(ServerProcess::startLimitMs)).toUShort();
    if (server->m_port == 0) {
        *why = u"no port reported: %1"_s.arg(server->m_process->errorOutput());
        return nullptr;
    }
    if (server->m_process->waitUntilServing(server->m_host, server->m_port, banner, why) !=
        ServerProcess::Readiness::Ready)
        return nullptr;
    return server;
}

bool FtpTestServer::makeCertificate(QString *why)
{
    m_certificatePath = folderPath(u"certificate.pem"_s);
    m_keyPath = folderPath(u"key.pem"_s);
    return ServerProcess::runTool(u"openssl"_s,
                                  {u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s,
                                   u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s, u"-days"_s,
                                   u"2"_s, u"-subj"_s, u"/CN=localhost"_s, u"-addext"_s,
                                   u"subjectAltName=IP:127.0.0.1,DNS:localhost"_s, u"-keyout"_s,
                                   m_keyPath, u"-out"_s, m_certificatePath},
                                  why);
}

std::unique_ptr<FtpTestServer> FtpTestServer::startVsftpd(QString *why, bool activeMode, bool tls)
{
    std::unique_ptr<FtpTestServer> server(new FtpTestServer(Kind::Vsftpd));
    server->m_homeDir = u"/"_s;
    if (!server->makeFoldersForAccount(u"ftp"_s, u"vsftpd.log"_s, why) ||
        (tls && !server->makeCertificate(why)))
        return nullptr;
    const QString tlsSettings =
        !tls ? u"ssl_enable=NO"_s
             : u"ssl_enable=YES\n"
               "rsa_cert_file=%1\n"
               "rsa_private_key_file=%2\n"
               "ssl_ciphers=HIGH\n"
               "force_local_logins_ssl=YES\n"
               "force_local_data_ssl=YES\n"
               "require_ssl_reuse=YES"_s.arg(server->m_certificatePath, server->m_keyPath);
    const QString configPath = server->folderPath(u"vsftpd.conf"_s);
    // vsftpd writes its fatal errors to descriptor 0.
    const ServerProcess::Launch launch{u"/usr/sbin/vsftpd"_s,
                                       {configPath},
                                       server->folderPath(u"errors.txt"_s),
                                       true,
                                       configPath,
                                       u"vsftpd.conf.in"_s,
                                       {{u"ROOT"_s, server->m_rootPath},
                                        {u"LOG"_s, server->m_logPath},
                                        {u"PORT_ENABLE"_s, activeMode ? u"YES"_s : u"NO"_s},
                                        {u"TLS"_s, tlsSettings}}};
    server->m_process = ServerProcess::startOnFreePort(launch, &server->m_port, why);
    return server->m_process ? std::move(server) : nullptr;
}
