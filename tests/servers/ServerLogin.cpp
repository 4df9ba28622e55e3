#include "servers/ServerLogin.h"

#include "servers/ExternalServer.h"

QString ServerLogin::site() const
{
    const QString host = m_host.contains(u':') ? u'[' + m_host + u']' : m_host;
    return host + u':' + QString::number(m_port);
}

bool ServerLogin::takeExternal(const char *variable, QString *why)
{
    const std::optional<ExternalServer> external = ExternalServer::fromEnvironment(variable, why);
    if (!external)
        return false;
    m_host = external->host;
    m_port = external->port;
    m_user = external->user;
    m_password = external->password;
    m_homeDir = external->rootFolder;
    return true;
}
