#include "platform/IniFile.h"

#include "platform/RegularFile.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Platform {

namespace {

constexpr QByteArrayView Utf8ByteOrderMark("\xef\xbb\xbf");
const QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner;
// Whatever users other than the owner may do with a file.
const QFile::Permissions OthersAccess = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                        QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray trimmedBlanks(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.sliced(begin, end - begin).toByteArray();
}

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

bool isEnclosedInQuotes(const QByteArray &text)
{
    return text.size() >= 2 && isQuote(text.front()) && text.front() == text.back();
}

// A value as it stands in a line: quoted when blanks at either end or enclosing quotes would
// otherwise be lost on reading.
QByteArray encodeValue(const QByteArray &value)
{
    if (value.isEmpty())
        return value;
    if (isBlank(value.front()) || isBlank(value.back()) || isEnclosedInQuotes(value))
        return '"' + value + '"';
    return value;
}

QByteArray decodeValue(QByteArrayView raw)
{
    QByteArray value = trimmedBlanks(raw);
    if (isEnclosedInQuotes(value))
        return value.mid(1, value.size() - 2);
    return value;
}

bool isComment(const QByteArray &trimmed)
{
    return trimmed.startsWith(';') || trimmed.startsWith('#');
}

// The name of a "[section]" line; empty optional for other lines.
std::optional<QByteArray> sectionName(const QByteArray &line)
{
    const QByteArray trimmed = trimmedBlanks(line);
    if (!trimmed.startsWith('['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return trimmedBlanks(QByteArrayView(trimmed).sliced(1, close - 1));
}

// The key of a "key=value" line, with the position of its "="; nullopt for other lines.
std::optional<std::pair<QByteArray, qsizetype>> keyOf(const QByteArray &line)
{
    const QByteArray trimmed = trimmedBlanks(line);
    if (trimmed.isEmpty() || isComment(trimmed) || trimmed.startsWith('['))
        return std::nullopt;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return std::nullopt;
    return std::pair{trimmedBlanks(QByteArrayView(line).first(equals)), equals};
}

bool sameName(const QByteArray &utf8, const QString &name)
{
    return QString::fromUtf8(utf8).compare(name, Qt::CaseInsensitive) == 0;
}

// A section or key name as the file holds it: the blanks around it are not part of it.
QByteArray nameText(const QString &name)
{
    return trimmedBlanks(name.toUtf8());
}

bool hasLineBreakOrNul(QByteArrayView text)
{
    return text.contains('\r') || text.contains('\n') || text.contains('\0');
}

} // namespace

IniFile::IniFile(const QString &linuxPath)
    : m_path(linuxPath)
{
    const std::optional<QByteArray> read = readRegularFile(linuxPath);
    m_readable = read.has_value();
    QByteArray content = read.value_or(QByteArray());
    // Editors put a byte order mark before UTF-8 text; it belongs to no line, and is written
    // back as it stood.
    m_byteOrderMark = content.startsWith(Utf8ByteOrderMark);
    if (m_byteOrderMark)
        content.remove(0, Utf8ByteOrderMark.size());
    if (content.isEmpty())
        return;
    m_newline = content.contains("\r\n") || !content.contains('\n') ? "\r\n" : "\n";
    m_finalNewline = content.endsWith('\n');
    m_lines = content.split('\n');
    if (m_finalNewline)
        m_lines.removeLast();
    for (QByteArray &line : m_lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    // CRs after the last line end end no line and belong to none: the file ends at that line
    // end, and lines added after it follow no blank line.
    if (!m_finalNewline) {
        while (m_lines.last().endsWith('\r'))
            m_lines.last().chop(1);
        if (m_lines.last().isEmpty()) {
            m_lines.removeLast();
            m_finalNewline = true;
        }
    }
}

IniFile::Position IniFile::find(const QString &section, const QString &key) const
{
    const QString wantedSection = QString::fromUtf8(nameText(section));
    const QString wantedKey = QString::fromUtf8(nameText(key));
    Position position;
    bool inside = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QByteArray &line = m_lines.at(i);
        if (const auto name = sectionName(line)) {
            if (inside)
                break; // the first section of that name is the one read and written
            inside = sameName(*name, wantedSection);
            if (inside) {
                position.sectionLine = i;
                position.sectionEnd = i + 1;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!trimmedBlanks(line).isEmpty())
            position.sectionEnd = i + 1;
        if (position.keyLine < 0 && !wantedKey.isEmpty()) {
            if (const auto found = keyOf(line); found && sameName(found->first, wantedKey))
                position.keyLine = i;
        }
    }
    return position;
}

std::optional<QByteArray> IniFile::value(const QString &section, const QString &key) const
{
    const Position position = find(section, key);
    if (position.keyLine < 0)
        return std::nullopt;
    const QByteArray &line = m_lines.at(position.keyLine);
    return decodeValue(QByteArrayView(line).sliced(keyOf(line)->second + 1));
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList names;
    const Position position = find(section, {});
    if (position.sectionLine < 0)
        return names;
    for (qsizetype i = position.sectionLine + 1; i < m_lines.size(); ++i) {
        if (sectionName(m_lines.at(i)))
            break;
        if (const auto found = keyOf(m_lines.at(i)))
            names.append(QString::fromUtf8(found->first));
    }
    return names;
}

bool IniFile::isWritableValue(const QByteArray &value)
{
    return !hasLineBreakOrNul(value);
}

bool IniFile::setValue(const QString &section, const QString &key, const QByteArray &value)
{
    const QByteArray sectionText = nameText(section);
    const QByteArray keyText = nameText(key);
    if (!isWritableValue(value) || hasLineBreakOrNul(sectionText) || sectionText.contains(']') ||
        keyText.isEmpty() || hasLineBreakOrNul(keyText) || keyText.contains('=') ||
        keyText.startsWith('[') || isComment(keyText))
        return false;

    const Position position = find(section, key);
    if (position.keyLine >= 0) {
        // Keep the key as the file spells it, with whatever stood before the "=".
        QByteArray &line = m_lines[position.keyLine];
        line = line.first(keyOf(line)->second + 1) + encodeValue(value);
    } else if (position.sectionLine >= 0) {
        m_lines.insert(position.sectionEnd, keyText + '=' + encodeValue(value));
    } else {
        m_lines.append('[' + sectionText + ']');
        m_lines.append(keyText + '=' + encodeValue(value));
    }
    return true;
}

void IniFile::removeKey(const QString &section, const QString &key)
{
    const Position position = find(section, key);
    if (position.keyLine >= 0)
        m_lines.removeAt(position.keyLine);
}

bool IniFile::save(Access access) const
{
    // Lines that could not be read would be lost by writing the file without them.
    if (!m_readable)
        return false;
    const QFileInfo info(m_path);
    const bool isNew = !info.exists();
    if (!QDir().mkpath(info.absolutePath()))
        return false;

    QByteArray content = m_byteOrderMark ? Utf8ByteOrderMark.toByteArray() : QByteArray();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        content += m_lines.at(i);
        if (i + 1 < m_lines.size() || m_finalNewline)
            content += m_newline;
    }
    const bool ownerOnly = isNew || access == Access::OwnerOnly;
    return !writeWholeFile(m_path, content, ownerOnly ? std::optional(OwnerOnly) : std::nullopt);
}

bool IniFile::isOpenToOthers() const
{
    const QFileInfo info(m_path);
    return info.exists() && (info.permissions() & OthersAccess);
}

} // namespace Platform
