#include "course/ConnectionPaths.h"

#include "course/ConfigStore.h"

namespace {

const QLatin1Char Slash('/');

} // namespace

QString ConnectionPaths::underHomeDir(const QString &homeDir, const QString &path,
                                      Qt::CaseSensitivity cs)
{
    return path.startsWith(homeDir, cs) ? path : CollapseSlashes(homeDir + Slash + path);
}

std::optional<QString> ConnectionPaths::webRootPrefix(const QString &remoteDir)
{
    // Looked for behind a leading "/", so that a relative "DV/course/..." names the folder too.
    const qsizetype at = (Slash + remoteDir).indexOf(QLatin1String("/DV/"));
    if (at < 0)
        return std::nullopt;
    return at == 0 ? QString() : remoteDir.left(at - 1);
}

ConnectionPaths::Site ConnectionPaths::beforeConnect(const QString &host, const QString &siteName,
                                                     const QString &remoteDir)
{
    Site site{host, siteName, {}};
    const qsizetype slash = host.indexOf(Slash);
    if (slash >= 0 && !host.endsWith(Slash)) {
        const QString path = host.mid(slash + 1);
        site.webRoot = path + (path.endsWith(Slash) ? QLatin1String("DV") : QLatin1String("/DV"));
        site.host = host.left(slash);
        site.siteName = site.host;
    } else {
        // Without a host product folder in the remote directory the web root is not known
        // until the server names the login folder; until then it is the root.
        site.webRoot = webRootPrefix(remoteDir).value_or(QString());
    }
    site.webRoot = CollapseSlashes(Slash + site.webRoot);
    return site;
}

ConnectionPaths::ServerPaths ConnectionPaths::afterConnect(const QString &homeDir,
                                                           const QString &remoteDir)
{
    ServerPaths paths;
    // A remote directory without "/DV/" gives no mark where the host product's area begins:
    // the login folder, where the server puts the user's own files, is the only sensible web
    // root, and the remote directory is still made absolute under it below.
    const std::optional<QString> prefix = webRootPrefix(remoteDir);
    paths.webRoot = underHomeDir(homeDir, CollapseSlashes(Slash + prefix.value_or(homeDir)),
                                 Qt::CaseInsensitive);
    paths.remoteDir = underHomeDir(homeDir, remoteDir, Qt::CaseInsensitive);
    return paths;
}
