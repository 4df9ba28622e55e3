#include "servers/ServerLogin.h"

#include "servers/ServerProcess.h"
#include "servers/VsftpdAccount.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

ServerLogin::ServerLogin() = default;

ServerLogin::~ServerLogin() = default;

QString ServerLogin::site() const
{
    const QString host = m_host.contains(u':') ? u'[' + m_host + u']' : m_host;
    return host + u':' + QString::number(m_port);
}

bool ServerLogin::takeExternal(const char *variable, QString *why)
{
    // The host is a name or a bracketed v6 address; the password may hold ":", for the root
    // folder is what follows the last one.
    static const QRegularExpression login(
        u"^(?:\\[([^\\]]+)\\]|([^:\\[\\]]+)):(\\d+):([^:]+):(.*):(/[^:]*)$"_s);
    const QRegularExpressionMatch match = login.match(qEnvironmentVariable(variable));
    m_host = match.captured(1) + match.captured(2);
    m_port = match.captured(3).toUShort();
    m_user = match.captured(4);
    m_password = match.captured(5);
    m_homeDir = match.captured(6);
    if (match.hasMatch() && m_port != 0)
        return true;
    *why = u"%1 must read host:port:user:password:/root-folder"_s.arg(QLatin1String(variable));
    return false;
}

bool ServerLogin::makeFolders(const QString &kind, const QString &logName, QString *why)
{
    m_dir = std::make_unique<QTemporaryDir>(QDir::temp().filePath(u"vellix-%1-XXXXXX"_s.arg(kind)));
    if (!m_dir->isValid() || !QDir().mkdir(m_dir->filePath(u"root"_s))) {
        *why = u"cannot create a temporary folder: %1"_s.arg(m_dir->errorString());
        return false;
    }
    m_rootPath = folderPath(u"root"_s);
    m_logPath = folderPath(logName);
    return true;
}

bool ServerLogin::makeFoldersForAccount(const QString &kind, const QString &logName, QString *why)
{
    m_user = VsftpdAccount::name();
    m_password = VsftpdAccount::password();
    return VsftpdAccount::ensure(why) && makeFolders(kind, logName, why) &&
           VsftpdAccount::grantServedFolder(QFileInfo(m_rootPath).path(), m_rootPath, why);
}

QString ServerLogin::folderPath(const QString &name) const
{
    return QFileInfo(m_dir->path()).canonicalFilePath() + u'/' + name;
}
