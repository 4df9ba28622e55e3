#pragma once

#include <QString>

#include <optional>

// The rules that place a session's server paths: which host the site names and the web root it
// implies before connecting, and, once the server has named the login folder, the absolute
// web root and remote directory, and every other path joined under the login folder. Pure
// functions of texts.
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

    // A server path under the login folder, where every absolute path of a session begins:
    // the path itself when it begins with the login folder, else the two joined by "/" with
    // doubled slashes collapsed.
    static QString underHomeDir(const QString &homeDir, const QString &path,
                                Qt::CaseSensitivity cs = Qt::CaseSensitive);
};
