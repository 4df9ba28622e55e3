#pragma once

#include "transport/Entry.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QList>

#include <optional>

namespace Ftp {

// Reads the entries of a folder listing from what the server sent on the data connection:
// MLSD lines (RFC 3659) where the server offers them, else the lines of LIST, which servers
// write in the form of Unix "ls -l" or of a DOS/IIS "dir". Names are decoded by NameCodec.
// Lines that carry no entry give nothing; "." and ".." are never returned.
class ListingParser
{
public:
    enum class Format { Mlsd, List };

    // One MLSD line: "type=file;size=12;modify=20070101120000; name". Facts are found without
    // regard to case and in any order; modify may carry a fraction of a second. Folders
    // (type=dir) and files (type=file, or no type) give an entry; symbolic links
    // (type=OS.unix=slink... or type=OS.unix=symlink) give one marked as a link; the folder
    // itself and its parent (cdir, pdir) and other kinds (devices) give nothing.
    static std::optional<Entry> parseMlsdLine(QByteArrayView line);

    // One LIST line, in either form:
    //  Unix: "-rw-r--r--   1 owner group  12 Nov 14 10:22 name", or "... Nov 14  2006 name" for
    //        an older file; owners may be numeric and the group column may be missing. The name
    //        is everything after the one blank that follows the time or year, leading blanks
    //        included; a link "name -> target" gives its name. Devices, pipes and sockets give
    //        nothing. A date without a year takes the latest year that puts it no later than
    //        nowUtc plus one day (a server's clock may run ahead of ours).
    //  DOS/IIS: "11-14-06  10:22AM       <DIR>          name" or
    //        "11-14-2006  12:05PM   12 name"; 12:xxAM is just after midnight, 12:xxPM just
    //        after noon, and a time without AM/PM counts 24 hours. Two-digit years below 70
    //        are 20xx.
    // Times are taken as UTC. Lines such as "total 12", blank lines or anything unparseable give
    // nothing.
    static std::optional<Entry> parseListLine(QByteArrayView line, const QDateTime &nowUtc);

    // The permission bits in the first column of a Unix LIST line ("-rw-r----- 1 ..." gives
    // 0640; s, S, t and T carry the set-id and sticky bits); nothing when it holds no such text.
    static std::optional<int> parseUnixMode(QByteArrayView line);

    // A time as MLSD's modify fact and MDTM give it: "YYYYMMDDHHMMSS", with an optional
    // fraction of a second (".sss"), in UTC.
    static std::optional<QDateTime> parseTimeValue(QByteArrayView text);

    // A whole listing: lines end in CR LF or LF.
    static QList<Entry> parse(QByteArrayView reply, Format format, const QDateTime &nowUtc);
};

} // namespace Ftp
