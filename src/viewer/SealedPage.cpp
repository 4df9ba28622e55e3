#include "viewer/SealedPage.h"

#include "viewer/SealedProfile.h"
#include "viewer/ViewerScheme.h"

SealedPage::SealedPage(SealedProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
    , m_profile(profile)
{}

bool SealedPage::acceptNavigationRequest(const QUrl &url, NavigationType, bool)
{
    // Refused here, the page stays where it is, rather than showing the error of a request
    // that the profile would block.
    const QString scheme = url.scheme();
    if (scheme == QLatin1String(ViewerScheme::name()))
        return m_profile->serves(url);
    return scheme == QLatin1String("data") || scheme == QLatin1String("blob") ||
           scheme == QLatin1String("about");
}
