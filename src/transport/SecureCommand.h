#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The command texts that the client sends through the secure channel, and what it reads from
// their replies.
namespace SecureCommand {

// The verb followed by the argument in double quotes, every double quote inside it written
// twice, so that the library reads back exactly that name: command(u"del ", "a b") gives
// `del "a b"`, command(u"cd ", `say "hi"`) gives `cd "say ""hi"""`.
QString command(QStringView verb, const QString &argument);
// Two arguments, each quoted so, separated by one blank: `ren "a" "b"`.
QString command(QStringView verb, const QString &first, const QString &second);

// The folder named by a "pwd" reply: the reply from its first "/" on, the text before it
// being the library's own words. Empty when the reply names no folder.
QString folderFromPwdReply(const QString &reply);

// One line of a "dir" reply: name, size in bytes, time of last change as seconds since 1970
// UTC and a type text ("d..." for a folder), separated by "|".
struct ListingLine
{
    QString name;
    qint64 size = 0;
    qint32 seconds = 0;
    bool folder = false;
};
// The fields of a listing line, read from its end: the size is the number at the start of the
// third field from the end, and the name is everything before it, so a name holding "|" stays
// whole. Nothing for a line of fewer than four fields or without a size or time.
std::optional<ListingLine> listingLine(QStringView line);

// The size named by a "dir" reply of one file: the size of its first line as listingLine()
// reads it; -1 for an empty reply; 0 when the first line is no listing line.
qint32 sizeFromDirReply(const QString &reply);

// The text up to its first NUL: what a reply buffer holds.
QString upToNul(const QString &text);

} // namespace SecureCommand
