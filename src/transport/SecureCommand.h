#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The command texts that the client sends through the secure channel, and what it reads from
// their replies.
namespace SecureCommand {

// The verb followed by the argument in double quotes, unescaped: command(u"del ", "a b")
// gives `del "a b"`.
QString command(QStringView verb, const QString &argument);
// Two arguments, each in double quotes, separated by one blank: `ren "a" "b"`.
QString command(QStringView verb, const QString &first, const QString &second);

// The folder named by a "pwd" reply: the reply from its first "/" on, the text before it
// being the library's own words. Empty when the reply names no folder.
QString folderFromPwdReply(const QString &reply);

// The size named by a "dir" reply of one file: the number at the start of the text after the
// first "|" (the size field of a listing line); -1 for an empty reply; 0 when no number
// stands there.
qint32 sizeFromDirReply(const QString &reply);

// The whole number at the start of a text (after leading blanks, with an optional sign), read
// up to the first character that cannot belong to it; nothing when no digit stands there.
// Numbers beyond 64 bits saturate.
std::optional<qint64> leadingNumber(QStringView text);

// The text up to its first NUL: what a reply buffer holds.
QString upToNul(const QString &text);

} // namespace SecureCommand
