#pragma once

#include <QDialog>
#include <QString>

class QWebEngineView;

// The file viewer: one local file shown in an embedded browser, as the browser shows it
// (pages with their style sheets, scripts and pictures, text, PDF). The caller names the file
// with setFileToView(), places the window and shows it modally with exec().
class frmView : public QDialog
{
    Q_OBJECT

public:
    explicit frmView(QWidget *parent = nullptr);

    // Shows the file that the DOS path names (C:\...) and puts the path in the caption. A
    // missing file gets the browser's own error page; a path that names no place on this
    // computer gets a page that says so.
    void setFileToView(const QString &dosPath);

private:
    QWebEngineView *wb1 = nullptr;
};
