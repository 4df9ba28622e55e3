// The secure listing parser. Any reply gives only entries with a name of their own, one kind
// and one date; and a line as the secure library writes it, for any name, size and time, reads
// back as that entry.

#include "FuzzInput.h"

#include "transport/CSFtp.h"
#include "transport/ListingRecord.h"
#include "transport/NameCodec.h"
#include "transport/cDirList.h"

#include <QtEndian>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

void checkList(const cDirList &list, const QString &reply)
{
    FUZZ_CHECK(list.Count() <= reply.count(u"\r\n"_s) + 1, list.Count());
    for (const cDirItem &item : list) {
        const QString &name = item.Filename;
        FUZZ_CHECK(!name.isEmpty() && name != u"."_s && name != u".."_s &&
                       !name.contains(u"\r\n"_s) && !name.contains(QChar(0)),
                   name);
        FUZZ_CHECK(item.Directory != item.Normal, name);
        FUZZ_CHECK(item.CreationTime == item.LastWriteTime &&
                       item.LastAccessTime == item.LastWriteTime,
                   name);
        FUZZ_CHECK(list.Item(name) == &item, name);
    }
}

// A name holds no line end and no NUL: the library leaves out such names, and its reply ends
// at the first NUL.
void checkLineReadsBack(const QString &name, qint64 size, qint32 seconds)
{
    if (name.isEmpty() || name == u"."_s || name == u".."_s || name.contains(u"\r\n"_s) ||
        name.contains(QChar(0)))
        return;
    const QString reply = name + u'|' + QString::number(size) + u'|' + QString::number(seconds) +
                          u"|-rw-r--r--\r\n"_s;
    cDirList list;
    CSFtp::ParseSecureListing(reply, list);
    const cDirItem *item = list.Item(1);
    FUZZ_CHECK(list.Count() == 1 && item->Filename == name && item->Normal &&
                   item->FileSize == ListingRecord::fileSize(size) &&
                   item->LastWriteTime == CSFtp::UnixTimeToLocal(seconds),
               reply);
}

} // namespace

FUZZ_TARGET(input)
{
    const QString reply = Ftp::NameCodec::decode(input);
    cDirList list;
    CSFtp::ParseSecureListing(reply, list);
    checkList(list, reply);

    // Size and time come from the input's first bytes, the name is all of it.
    std::array<char, 12> numbers{};
    std::copy_n(input.data(), std::min<size_t>(size_t(input.size()), numbers.size()),
                numbers.data());
    const auto fileSize = qFromLittleEndian<quint64>(numbers.data()) >> 1; // not negative
    const auto seconds = qFromLittleEndian<qint32>(numbers.data() + 8);
    checkLineReadsBack(reply, qint64(fileSize), seconds);
}
