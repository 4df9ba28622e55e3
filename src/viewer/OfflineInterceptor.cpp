#include "viewer/OfflineInterceptor.h"

#include "viewer/ViewerScheme.h"

void OfflineInterceptor::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const QString scheme = info.requestUrl().scheme();
    const bool local = scheme == QLatin1String(ViewerScheme::name()) ||
                       scheme == QLatin1String("data") || scheme == QLatin1String("blob");
    info.block(!local);
}
