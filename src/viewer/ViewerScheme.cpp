#include "viewer/ViewerScheme.h"

#include <QUrl>
#include <QWebEngineUrlScheme>

namespace ViewerScheme {

QByteArray name()
{
    return QByteArrayLiteral("vellix-view");
}

bool registerScheme()
{
    QWebEngineUrlScheme scheme(name());
    // Paths only, like file URLs, so that links between the files resolve as they do on disk.
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    QWebEngineUrlScheme::registerScheme(scheme);
    return QWebEngineUrlScheme::schemeByName(name()).name() == name();
}

QUrl urlOf(const QString &linuxPath)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(name()));
    url.setPath(linuxPath, QUrl::DecodedMode);
    return url;
}

QString pathOf(const QUrl &url)
{
    if (url.scheme() != QLatin1String(name()))
        return {};
    return url.path(QUrl::FullyDecoded);
}

} // namespace ViewerScheme
