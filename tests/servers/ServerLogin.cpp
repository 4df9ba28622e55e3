#include "servers/ServerLogin.h"

#include "servers/ServerProcess.h"
#include "servers/VsftpdAccount.h"

#include <QDir>
#include <QFileInfo>

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
    QString rest = qEnvironmentVariable(variable);
    if (rest.isEmpty()) {
        *why = u"%1 names no external server"_s.arg(QLatin1String(variable));
        return false;
    }
    if (rest.startsWith(u'[')) {
        const qsizetype close = rest.indexOf(u"]:"_s);
        m_host = close < 0 ? QString() : rest.mid(1, close - 1);
        rest = rest.mid(close + 2);
    } else {
        m_host = rest.section(u':', 0, 0);
        rest = rest.section(u':', 1);
    }
    bool portOk = false;
    m_port = rest.section(u':', 0, 0).toUShort(&portOk);
    m_user = rest.section(u':', 1, 1);
    m_password = rest.section(u':', 2, -2);
    m_homeDir = rest.section(u':', -1);
    if (!m_host.isEmpty() && portOk && m_port != 0 && !m_user.isEmpty() && rest.count(u':') >= 3 &&
        m_homeDir.startsWith(u'/'))
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
