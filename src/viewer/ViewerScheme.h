#pragma once

#include <QByteArray>
#include <QString>

class QUrl;

// The viewer's own URL scheme, under which it serves the file it shows and the files beside
// it: "vellix-view:" followed by the Linux path. A page so served has no file:// origin, and
// Chromium lets no page of another scheme load a file:// URL, whatever route it takes. The
// scheme is not marked secure either, which leaves out the interfaces of secure contexts
// (WebTransport among them, whose traffic no request interceptor sees).
namespace ViewerScheme {

QByteArray name();
// Makes the scheme known to the browser, which takes new schemes only until it starts:
// whether it took. Call once.
bool registerScheme();
QUrl urlOf(const QString &linuxPath);
// The Linux path a URL of the scheme names; empty for any other URL.
QString pathOf(const QUrl &url);

} // namespace ViewerScheme
