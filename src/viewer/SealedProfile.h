#pragma once

#include <QWebEngineProfile>

class PageFolderHandler;
class ViewScope;

// A browser profile of the viewer's own, off the record, for one viewer window: its pages
// read the files their scope allows through the viewer's scheme and reach nothing else, keep
// their scripts, and find cookies kept for them while the window is open.
class SealedProfile : public QWebEngineProfile
{
    Q_OBJECT

public:
    explicit SealedProfile(QObject *parent = nullptr);

    // The files the pages may load from now on: those of the page shown next.
    void setScope(const ViewScope &scope);
    // Whether the URL names a file that the pages may load.
    bool serves(const QUrl &url) const;

private:
    PageFolderHandler *m_handler;
};
