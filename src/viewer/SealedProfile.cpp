#include "viewer/SealedProfile.h"

#include "operations/ViewScope.h"
#include "viewer/OfflineInterceptor.h"
#include "viewer/PageFolderHandler.h"
#include "viewer/ViewerScheme.h"

#include <QFile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace {

// What every page and frame finds in place before its own scripts run.
QWebEngineScript pageScript()
{
    QFile source(QStringLiteral(":/vellixon/viewer/pageScript.js"));
    source.open(QIODevice::ReadOnly);
    QWebEngineScript script;
    script.setName(QStringLiteral("vellix-view"));
    script.setSourceCode(QString::fromUtf8(source.readAll()));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    return script;
}

} // namespace

SealedProfile::SealedProfile(QObject *parent)
    : QWebEngineProfile(parent)
    , m_handler(new PageFolderHandler(this))
{
    installUrlSchemeHandler(ViewerScheme::name(), m_handler);
    setUrlRequestInterceptor(new OfflineInterceptor(this));
    scripts()->insert(pageScript());

    QWebEngineSettings *browser = settings();
    // PDF files show in the browser's own viewer instead of being offered for download.
    browser->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    browser->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    // Name lookups for links would go out past every request the interceptor sees.
    browser->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
}

void SealedProfile::setScope(const ViewScope &scope)
{
    m_handler->setScope(scope);
}

bool SealedProfile::serves(const QUrl &url) const
{
    return m_handler->serves(url);
}
