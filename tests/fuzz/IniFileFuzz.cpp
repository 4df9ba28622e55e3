// The INI reader and writer. A value written into any file reads back byte for byte; the write
// changes or adds one line (two with a new section) and keeps every other line, and every
// other key of the section reads as before.
// Input: the section, the key and the value, each ended by a NUL, then the file; an input with
// fewer NULs is the file alone, written to a course key of the control.

#include "FuzzInput.h"

#include "platform/IniFile.h"

#include <QRegularExpression>

using Platform::IniFile;
using namespace Qt::StringLiterals;

namespace {

// The lines of a file, without their ends and the CRs before them.
QList<QByteArray> linesOf(const QByteArray &content)
{
    QList<QByteArray> lines = content.split('\n');
    for (QByteArray &line : lines) {
        while (line.endsWith('\r'))
            line.chop(1);
    }
    if (lines.last().isEmpty())
        lines.removeLast(); // what follows the last line end, if anything
    return lines;
}

// True when `after` is `before` with one line changed, or with one or two lines added.
bool changesOneLine(const QList<QByteArray> &before, const QList<QByteArray> &after)
{
    qsizetype head = 0;
    while (head < before.size() && head < after.size() && before.at(head) == after.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before.at(before.size() - 1 - tail) == after.at(after.size() - 1 - tail))
        ++tail;
    const qsizetype removed = before.size() - head - tail;
    const qsizetype added = after.size() - head - tail;
    return (removed == 1 && added == 1) || (removed == 0 && added <= 2);
}

// A name without the blanks around it, which are not part of it.
QString withoutBlanks(QString name)
{
    return name.remove(QRegularExpression(u"^[ \t]+|[ \t]+$"_s));
}

} // namespace

FUZZ_TARGET(bytes)
{
    const Fuzz::Fields input = Fuzz::takeFields(bytes, {"Biology", "ftpSite", "ftp.example.org"});
    const QString section = QString::fromUtf8(input.fields.at(0));
    const QString key = QString::fromUtf8(input.fields.at(1));
    const QByteArray &value = input.fields.at(2);

    const QString path = Fuzz::scratchFile(input.text);
    const IniFile before(path);
    IniFile file(path);
    if (!file.setValue(section, key, value))
        return; // a value or name that cannot be written: refused, nothing changed
    FUZZ_CHECK(IniFile::isWritableValue(value), value);
    FUZZ_CHECK(file.save(), path);

    const IniFile after(path);
    const std::optional<QByteArray> readBack = after.value(section, key);
    FUZZ_CHECK(readBack == value, section, " ", key, " reads ", readBack.value_or("(nothing)"));
    for (const QString &other : before.keys(section)) {
        if (other.compare(withoutBlanks(key), Qt::CaseInsensitive) != 0)
            FUZZ_CHECK(after.value(section, other) == before.value(section, other), other);
    }
    const QByteArray written = Fuzz::readFile(path);
    FUZZ_CHECK(changesOneLine(linesOf(input.text.toByteArray()), linesOf(written)), written);
}
