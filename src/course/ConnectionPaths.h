#pragma once

#include <QString>

#include <optional>

// The rules that place the status window's connect: which host the site names and the web
// root it implies before connecting, and, once the server has named the login folder, the
// absolute web root and remote directory. Pure functions of texts.
class ConnectionPaths
{
public:
    // Where to connect, as the site was entered.
    struct Site
    {
        QString host;     // what the session connects to
        QString siteName; // the site, cut to the host when it carried a path
        QString webRoot;  // absolute, single slashes
    };

    // The server paths once the login folder is known.
    struct ServerPaths
    {
        QString webRoot;
        QString remoteDir;
    };

    // A host written as "host/path" connects to the host alone and puts the web root at
    // "/path/DV"; a plain host takes the web root from the remote directory.
    static Site beforeConnect(const QString &host, const QString &siteName,
                              const QString &remoteDir);

    // Both paths made absolute under the login folder, which the server may report in another
    // case than the remote directory spells it.
    static ServerPaths afterConnect(const QString &homeDir, const QString &remoteDir);

    // The part of the remote directory before the host product's folder "/DV/" (found
    // case-sensitively); nothing when the remote directory names no such folder.
    static std::optional<QString> webRootPrefix(const QString &remoteDir);
};
