#include "platform/Registry.h"

#include "platform/Prefix.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QtEndian>

namespace Platform {

namespace {

const QLatin1String Header("Windows Registry Editor Version 5.00");

QString trimmedKeyPath(QString path)
{
    while (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    while (path.startsWith(QLatin1Char('\\')))
        path.remove(0, 1);
    return path;
}

// Reads a quoted text starting at pos (on the opening quote) with \\ and \" escapes; pos ends
// after the closing quote. nullopt when the quote is not closed.
std::optional<QString> readQuoted(const QString &line, qsizetype &pos)
{
    QString text;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line.at(pos);
        if (c == QLatin1Char('\\') && pos + 1 < line.size()) {
            text += line.at(++pos);
        } else if (c == QLatin1Char('"')) {
            ++pos;
            return text;
        } else {
            text += c;
        }
    }
    return std::nullopt;
}

QString quoted(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QByteArray hexBytes(const QString &list)
{
    QByteArray bytes;
    const QStringList parts = list.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        bool ok = false;
        const uint byte = part.trimmed().toUInt(&ok, 16);
        if (ok && byte < 256)
            bytes.append(static_cast<char>(byte));
    }
    return bytes;
}

// The data of a text value ends in NUL characters: one after a text, two after the texts of a
// multi-string. Only those are not part of the text, so that every text reads back whole.
int terminatorsOf(Registry::Type type)
{
    return type == Registry::Type::MultiString ? 2 : 1;
}

QString utf16Text(const QByteArray &bytes, Registry::Type type)
{
    QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()), bytes.size() / 2);
    for (int i = 0; i < terminatorsOf(type) && text.endsWith(QChar(0)); ++i)
        text.chop(1);
    return text;
}

QByteArray utf16Bytes(const QString &text, Registry::Type type)
{
    QByteArray bytes(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    bytes.append(2 * terminatorsOf(type), '\0');
    return bytes;
}

// The data part of a value line ("..." / dword:... / hex(n):...).
std::optional<Registry::Value> parseData(const QString &line, qsizetype pos)
{
    Registry::Value value;
    const QStringView data = QStringView(line).mid(pos).trimmed();
    if (data.startsWith(QLatin1Char('"'))) {
        qsizetype at = pos;
        while (line.at(at) != QLatin1Char('"'))
            ++at;
        const auto text = readQuoted(line, at);
        if (!text)
            return std::nullopt;
        value.text = *text;
        value.bytes = text->toUtf8();
        return value;
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        bool ok = false;
        value.type = Registry::Type::DWord;
        value.number = data.mid(6).toUInt(&ok, 16);
        return ok ? std::optional(value) : std::nullopt;
    }
    if (!data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype colon = data.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    int type = static_cast<int>(Registry::Type::Binary);
    const QStringView kind = data.first(colon);
    if (kind.size() > 3) { // hex(n)
        bool ok = false;
        type = kind.mid(4, kind.size() - 5).toInt(&ok, 16);
        if (!ok)
            return std::nullopt;
    }
    value.type = static_cast<Registry::Type>(type);
    value.bytes = hexBytes(data.mid(colon + 1).toString());
    if (value.type == Registry::Type::ExpandString || value.type == Registry::Type::String ||
        value.type == Registry::Type::MultiString)
        value.text = utf16Text(value.bytes, value.type);
    if (value.type == Registry::Type::DWord && value.bytes.size() >= 4)
        value.number = qFromLittleEndian<quint32>(value.bytes.constData());
    return value;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

QString dataText(const Registry::Value &value)
{
    // A text with a line break cannot stand in quotes on its line: it goes as hex(1) data.
    if (value.type == Registry::Type::String && !hasLineBreak(value.text))
        return quoted(value.text);
    if (value.type == Registry::Type::DWord)
        return QStringLiteral("dword:%1").arg(value.number, 8, 16, QLatin1Char('0'));
    const bool isText = value.type == Registry::Type::String ||
                        value.type == Registry::Type::ExpandString ||
                        value.type == Registry::Type::MultiString;
    QStringList bytes;
    for (const char byte : isText ? utf16Bytes(value.text, value.type) : value.bytes)
        bytes.append(QStringLiteral("%1").arg(quint8(byte), 2, 16, QLatin1Char('0')));
    const QString kind = value.type == Registry::Type::Binary
                             ? QStringLiteral("hex")
                             : QStringLiteral("hex(%1)").arg(int(value.type), 0, 16);
    return kind + QLatin1Char(':') + bytes.join(QLatin1Char(','));
}

// Changes the value of that name (found without regard to case) or adds it.
void putValue(QList<std::pair<QString, Registry::Value>> &values, const QString &name,
              const Registry::Value &value)
{
    for (auto &entry : values) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0) {
            entry.second = value;
            return;
        }
    }
    values.append({name, value});
}

} // namespace

qsizetype Registry::Value::dataSize() const
{
    switch (type) {
    case Type::String:
    case Type::ExpandString:
        return text.toUtf8().size() + 1;
    case Type::MultiString:
        return text.toUtf8().size() + 2;
    case Type::DWord:
        return 4;
    default:
        return bytes.size();
    }
}

Registry::Registry()
    : Registry(defaultPath())
{}

Registry::Registry(const QString &linuxPath)
    : m_path(linuxPath)
{
    if (const auto content = readRegularFile(linuxPath))
        parse(*content);
}

QString Registry::defaultPath()
{
    return Prefix::path(QStringLiteral("system.reg"));
}

QString Registry::rootName(RootKey root)
{
    switch (root) {
    case RootKey::ClassesRoot:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case RootKey::CurrentUser:
        return QStringLiteral("HKEY_CURRENT_USER");
    case RootKey::LocalMachine:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case RootKey::Users:
        return QStringLiteral("HKEY_USERS");
    case RootKey::CurrentConfig:
        return QStringLiteral("HKEY_CURRENT_CONFIG");
    }
    return {};
}

void Registry::parse(const QByteArray &raw)
{
    // Exports of the registry editor are UTF-16 with a byte order mark; others UTF-8.
    QString text;
    if (raw.startsWith("\xFF\xFE"))
        text = QStringDecoder(QStringDecoder::Utf16LE).decode(raw.mid(2));
    else
        text = QString::fromUtf8(raw.startsWith("\xEF\xBB\xBF") ? raw.mid(3) : raw);

    // Long hex values continue on the next line after a final backslash.
    QStringList lines;
    QString pending;
    for (const QString &rawLine : text.split(QLatin1Char('\n'))) {
        QString line = rawLine;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        pending += pending.isEmpty() ? line : line.trimmed();
        // Text values end in a quote and key lines in "]", so only hex data ends in "\".
        if (pending.endsWith(QLatin1Char('\\'))) {
            pending.chop(1);
            continue;
        }
        lines.append(pending);
        pending.clear();
    }

    Key *current = nullptr;
    for (const QString &line : std::as_const(lines)) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            const QString path =
                trimmedKeyPath(trimmed.mid(1, trimmed.lastIndexOf(QLatin1Char(']')) - 1));
            current = nullptr;
            if (path.startsWith(QLatin1Char('-'))) // a deleted key
                continue;
            current = &keyFor(path);
            continue;
        }
        if (!current)
            continue;

        qsizetype pos = 0;
        QString name;
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        if (pos >= line.size())
            continue;
        if (line.at(pos) == QLatin1Char('@')) {
            ++pos;
        } else if (line.at(pos) == QLatin1Char('"')) {
            const auto quotedName = readQuoted(line, pos);
            if (!quotedName)
                continue;
            name = *quotedName;
        } else {
            continue;
        }
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        if (pos >= line.size() || line.at(pos) != QLatin1Char('='))
            continue;
        const auto value = parseData(line, pos + 1);
        if (!value)
            continue; // a deleted value ("=-") or one we cannot read
        putValue(current->values, name, *value);
    }
}

QString Registry::fullPath(RootKey root, const QString &subKey) const
{
    const QString sub = trimmedKeyPath(subKey);
    return sub.isEmpty() ? rootName(root) : rootName(root) + QLatin1Char('\\') + sub;
}

qsizetype Registry::indexOfKey(const QString &path) const
{
    for (qsizetype i = 0; i < m_keys.size(); ++i) {
        if (m_keys.at(i).path.compare(path, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Registry::Key &Registry::keyFor(const QString &path)
{
    const qsizetype index = indexOfKey(path);
    if (index >= 0)
        return m_keys[index];
    m_keys.append(Key{path, {}});
    return m_keys.last();
}

bool Registry::keyExists(RootKey root, const QString &subKey) const
{
    const QString path = fullPath(root, subKey);
    const QString parentOf = path + QLatin1Char('\\');
    // A key exists when it is written itself or holds a written sub-key.
    return std::any_of(m_keys.begin(), m_keys.end(), [&](const Key &key) {
        return key.path.compare(path, Qt::CaseInsensitive) == 0 ||
               key.path.startsWith(parentOf, Qt::CaseInsensitive);
    });
}

std::optional<Registry::Value> Registry::value(RootKey root, const QString &subKey,
                                               const QString &name) const
{
    const qsizetype index = indexOfKey(fullPath(root, subKey));
    if (index < 0)
        return std::nullopt;
    for (const auto &[valueName, value] : m_keys.at(index).values) {
        if (valueName.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

bool Registry::setString(RootKey root, const QString &subKey, const QString &name,
                         const QString &text)
{
    Value value;
    value.text = text;
    value.bytes = text.toUtf8();
    return setValue(root, subKey, name, value);
}

bool Registry::setDWord(RootKey root, const QString &subKey, const QString &name, quint32 number)
{
    Value value;
    value.type = Type::DWord;
    value.number = number;
    return setValue(root, subKey, name, value);
}

bool Registry::setValue(RootKey root, const QString &subKey, const QString &name,
                        const Value &value)
{
    // A line break would end the key's or the value's line in the file.
    if (hasLineBreak(subKey) || hasLineBreak(name))
        return false;
    putValue(keyFor(fullPath(root, subKey)).values, name, value);
    return save();
}

bool Registry::save() const
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QString text = Header + QLatin1String("\r\n");
    for (const Key &key : m_keys) {
        text += QLatin1String("\r\n[") + key.path + QLatin1String("]\r\n");
        for (const auto &[name, value] : key.values) {
            text += (name.isEmpty() ? QStringLiteral("@") : quoted(name)) + QLatin1Char('=') +
                    dataText(value) + QLatin1String("\r\n");
        }
    }
    file.write(text.toUtf8());
    return file.commit();
}

} // namespace Platform
