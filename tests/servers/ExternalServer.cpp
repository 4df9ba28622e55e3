#include "servers/ExternalServer.h"

using namespace Qt::StringLiterals;

std::optional<ExternalServer> ExternalServer::fromEnvironment(const char *variable, QString *why)
{
    const QString name = QLatin1String(variable);
    ExternalServer server;
    QString rest = qEnvironmentVariable(variable);
    if (rest.startsWith(u'[')) {
        const qsizetype close = rest.indexOf(u"]:"_s);
        if (close < 0) {
            *why = u"%1: \"]:\" missing after the IPv6 address"_s.arg(name);
            return std::nullopt;
        }
        server.host = rest.mid(1, close - 1);
        rest = rest.mid(close + 2);
    } else {
        server.host = rest.section(u':', 0, 0);
        rest = rest.section(u':', 1);
    }
    bool portOk = false;
    server.port = rest.section(u':', 0, 0).toUShort(&portOk);
    server.user = rest.section(u':', 1, 1);
    server.password = rest.section(u':', 2, -2);
    server.rootFolder = rest.section(u':', -1);
    if (server.host.isEmpty() || !portOk || server.port == 0 || server.user.isEmpty() ||
        rest.count(u':') < 3 || !server.rootFolder.startsWith(u'/')) {
        *why = u"%1 must read host:port:user:password:/root-folder"_s.arg(name);
        return std::nullopt;
    }
    return server;
}
