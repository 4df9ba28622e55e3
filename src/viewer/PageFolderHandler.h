#pragma once

#include "operations/ViewScope.h"

#include <QWebEngineUrlSchemeHandler>

class QFile;

// Serves the viewer's scheme: the files that the scope of the page shown allows, read from
// the disk as the browser takes them; every other request fails.
class PageFolderHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void setScope(const ViewScope &scope);
    bool serves(const QUrl &url) const;
    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    // The file's type, with the character set of text that is UTF-8.
    static QByteArray contentType(QFile &file);
    // As much as the browser looks at for the character set of a page that declares none.
    static constexpr qint64 SniffedBytes = 64 * 1024;

    ViewScope m_scope;
};
