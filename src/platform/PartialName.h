#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The name under which an unfinished copy of a file waits beside its target, on the server
// for an upload and on the local disk for a download: ".vellix-XXXXXXXX.part", hidden and
// unlike any name a user gives a file. The eight hex digits come from the target's name, so
// that the next transfer of the same file finds what a cut one left and can continue it. A
// local partial keeps what it is a copy of in ".vellix-XXXXXXXX.info" beside it. The lists
// and the catalogue never show such names.
namespace PartialName {

// The partial's path beside the target, which may carry a folder ("a/b/page.htm").
QString pathFor(const QString &targetPath);
// The same for a path in the server's own bytes.
QByteArray pathFor(const QByteArray &targetPath);
// The path of the note beside a local partial that says what it is a copy of.
QString originPathFor(const QString &targetPath);

// Whether a name is a partial's or its note's (also the random ones of earlier versions).
bool isPartialName(QStringView name);

} // namespace PartialName
