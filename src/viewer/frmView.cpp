#include "viewer/frmView.h"

#include "operations/ViewScope.h"
#include "platform/DosPath.h"
#include "viewer/SealedPage.h"
#include "viewer/SealedProfile.h"
#include "viewer/ViewerScheme.h"
#include "viewer/WebEngineStartup.h"
#include "widgets/AccessibleNames.h"

#include <QScreen>
#include <QVBoxLayout>
#include <QWebEngineView>

frmView::frmView(QWidget *parent)
    : QDialog(parent)
    , m_sealed(WebEngineStartup::startSealed())
{
    setObjectName(QStringLiteral("frmView"));
    setWindowTitle(QStringLiteral("View File"));

    m_profile = std::make_unique<SealedProfile>();
    m_page = std::make_unique<SealedPage>(m_profile.get());
    wb1 = new QWebEngineView(this);
    wb1->setObjectName(QStringLiteral("wb1"));
    wb1->setPage(m_page.get());
    connect(wb1, &QWebEngineView::loadStarted, this, [this] { m_loaded = false; });
    connect(wb1, &QWebEngineView::loadFinished, this, [this] {
        m_loaded = true;
        Q_EMIT fileLoaded();
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(wb1);
    // 800 by 600, or less where the screen has no room for that beside a title bar and a panel.
    resize(QSize(800, 600).boundedTo(screen()->availableGeometry().size() * 0.9));
    AccessibleNames::watch(this);
}

frmView::~frmView() = default;

void frmView::setFileToView(const QString &dosPath)
{
    setWindowTitle(QStringLiteral("View File - ") + dosPath);
    const QString linuxPath = Platform::DosPath::toLinux(dosPath);
    if (linuxPath.isEmpty()) {
        showNotice(QStringLiteral("The file \"%1\" cannot be found.").arg(dosPath));
        return;
    }
    if (!m_sealed) {
        // Unsealed, a page could read the disk and send it anywhere: better shown not at all.
        showNotice(QStringLiteral("The file \"%1\" cannot be shown: the program had started a "
                                  "browser of its own before it first opened the viewer.")
                       .arg(dosPath));
        return;
    }
    m_profile->setScope(ViewScope(linuxPath));
    wb1->load(ViewerScheme::urlOf(linuxPath));
}

bool frmView::isFileLoaded() const
{
    return m_loaded;
}

void frmView::showNotice(const QString &text)
{
    m_profile->setScope(ViewScope());
    const QString escaped = text.toHtmlEscaped();
    wb1->setHtml(QStringLiteral("<title>%1</title><p>%1</p>").arg(escaped));
}
