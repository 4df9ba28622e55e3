#pragma once

#include <QWebEnginePage>

class SealedProfile;

// The viewer's page: it goes to the files its profile serves (links between the page and the
// files beside it) and nowhere else, whether by link, script, form or refresh. New windows
// (window.open, links to other windows) open none: a page makes none unless createWindow()
// or a receiver of newWindowRequested() gives it one, and this page has neither.
class SealedPage : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit SealedPage(SealedProfile *profile, QObject *parent = nullptr);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    SealedProfile *m_profile;
};
