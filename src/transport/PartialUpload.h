#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The temporary name an upload goes up under beside its target until the server has confirmed
// it whole: ".vellix-XXXXXXXX.part", hidden and unlike any name a user gives a file. The eight
// hex digits come from the target's name, so that the next upload of a file replaces what a
// failed one left behind; the lists and the catalogue never show such names.
namespace PartialUpload {

// The temporary path beside the target, which may carry a folder ("a/b/page.htm").
QString pathFor(const QString &remotePath);
// The same for a path in the server's own bytes.
QByteArray pathFor(const QByteArray &remotePath);

// Whether a name is such a temporary name (also the random ones of earlier versions).
bool isPartialName(QStringView name);

} // namespace PartialUpload
