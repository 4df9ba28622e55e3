#include "viewer/frmView.h"

#include "platform/DosPath.h"
#include "viewer/WebEngineStartup.h"

#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineSettings>
#include <QWebEngineView>

frmView::frmView(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmView"));
    setWindowTitle(QStringLiteral("View File"));

    WebEngineStartup::prepare();
    wb1 = new QWebEngineView(this);
    wb1->setObjectName(QStringLiteral("wb1"));
    // PDF files show in the browser's own viewer instead of being offered for download.
    wb1->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    wb1->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(wb1);
    resize(800, 600);
}

void frmView::setFileToView(const QString &dosPath)
{
    setWindowTitle(QStringLiteral("View File - ") + dosPath);
    const QString linuxPath = Platform::DosPath::toLinux(dosPath);
    if (linuxPath.isEmpty()) {
        wb1->setHtml(
            QStringLiteral("<p>The file \"%1\" cannot be found.</p>").arg(dosPath.toHtmlEscaped()));
        return;
    }
    wb1->load(QUrl::fromLocalFile(linuxPath));
}
