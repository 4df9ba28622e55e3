#pragma once

#include <QWebEngineUrlRequestInterceptor>

// Blocks every request of the viewer's pages, their frames and workers that leaves the
// viewer's own scheme: web requests of every kind, WebSocket handshakes, file:// URLs. Data
// and blob URLs stay: they hold what the page already has.
class OfflineInterceptor : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
};
