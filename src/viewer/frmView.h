#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QWebEngineView;
class SealedPage;
class SealedProfile;

// The file viewer: one local file shown in an embedded browser, as the browser shows it
// (pages with their style sheets, scripts and pictures, text, PDF). A page is sealed: it
// loads only the files beside it and below its folder, and reaches no network address. The
// caller names the file with setFileToView(), places the window and shows it modally with
// exec().
class frmView : public QDialog
{
    Q_OBJECT

public:
    explicit frmView(QWidget *parent = nullptr);
    ~frmView() override;

    // Shows the file that the DOS path names (C:\...) and puts the path in the caption. A
    // missing file gets the browser's own error page; a path that names no place on this
    // computer gets a page that says so.
    void setFileToView(const QString &dosPath);

    // Whether the browser has loaded the file (or the notice in its place), or given up on it;
    // it may still be painting it.
    bool isFileLoaded() const;

Q_SIGNALS:
    void fileLoaded();

private:
    void showNotice(const QString &text);

    // Whether the process's browser keeps the viewer's pages to their files.
    const bool m_sealed;
    // The profile outlives its page, as Chromium demands.
    std::unique_ptr<SealedProfile> m_profile;
    std::unique_ptr<SealedPage> m_page;
    QWebEngineView *wb1 = nullptr;
    bool m_loaded = false;
};
