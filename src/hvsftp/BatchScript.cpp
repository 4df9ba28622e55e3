#include "hvsftp/BatchScript.h"

#include "platform/DosPath.h"
#include "platform/Windows1252.h"
#include "transport/NameCodec.h"

#include <QFile>
#include <QFileInfo>

namespace {

// A script is a handful of lines; anything this large is not one.
constexpr qint64 LargestScript = 16 * 1024 * 1024;
// Enough digits for every code point, few enough that the number cannot overflow.
constexpr qsizetype MostReferenceDigits = 8;
constexpr char32_t LastCodePoint = 0x10FFFF;

bool isDigit(QChar c, bool hex)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return true;
    return hex && ((u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F'));
}

bool isSurrogate(char32_t codePoint)
{
    return codePoint >= 0xD800 && codePoint <= 0xDFFF;
}

// The character a reference at `at` ("&#...;") stands for, and the reference's length; a
// length of 0 when there is no well-formed reference there.
struct Reference
{
    char32_t codePoint = 0;
    qsizetype length = 0;
};

Reference referenceAt(const QString &text, qsizetype at)
{
    if (!QStringView(text).mid(at).startsWith(QLatin1String("&#")))
        return {};
    qsizetype i = at + 2;
    const bool hex =
        i < text.size() && (text.at(i) == QLatin1Char('x') || text.at(i) == QLatin1Char('X'));
    if (hex)
        ++i;
    const qsizetype firstDigit = i;
    while (i < text.size() && i - firstDigit <= MostReferenceDigits && isDigit(text.at(i), hex))
        ++i;
    const qsizetype digits = i - firstDigit;
    if (digits == 0 || digits > MostReferenceDigits || i == text.size() ||
        text.at(i) != QLatin1Char(';'))
        return {};
    bool ok = false;
    const uint codePoint = QStringView(text).mid(firstDigit, digits).toUInt(&ok, hex ? 16 : 10);
    if (!ok || codePoint == 0 || codePoint > LastCodePoint || isSurrogate(codePoint))
        return {};
    return {char32_t(codePoint), i + 1 - at};
}

bool writtenAsReference(char32_t codePoint)
{
    return QChar::requiresSurrogates(codePoint) ||
           !Platform::Windows1252::canEncode(QChar(char16_t(codePoint)));
}

} // namespace

std::optional<QList<BatchScript::Line>> BatchScript::read(const QString &path, QString *why)
{
    const QString file = linuxPath(path);
    const auto failed = [&](const QString &reason) {
        if (why)
            *why = QStringLiteral("The script '%1' cannot be read: %2").arg(path, reason);
        return std::nullopt;
    };
    if (file.isEmpty())
        return failed(QStringLiteral("its drive does not exist."));
    const QFileInfo info(file);
    if (info.isDir())
        return failed(QStringLiteral("it is a folder."));
    if (info.size() > LargestScript)
        return failed(QStringLiteral("it is too large to be a script."));
    QFile script(file);
    if (!script.open(QIODevice::ReadOnly))
        return failed(script.errorString() + QLatin1Char('.'));
    const QByteArray content = script.read(LargestScript + 1);
    if (script.error() != QFileDevice::NoError)
        return failed(script.errorString() + QLatin1Char('.'));
    if (content.size() > LargestScript)
        return failed(QStringLiteral("it is too large to be a script."));
    return lines(content);
}

QList<BatchScript::Line> BatchScript::lines(QByteArrayView content)
{
    const QString text = withCharacterReferencesResolved(decode(content));
    QList<Line> lines;
    int number = 0;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        ++number;
        // The trimming takes the CR of a CR LF line end with it.
        line = line.trimmed();
        if (line.size() > MaxLineLength)
            lines.append({number,
                          {},
                          QStringLiteral("the line is longer than %1 characters")
                              .arg(QString::number(MaxLineLength))});
        else if (!line.isEmpty())
            lines.append({number, line.toString()});
    }
    return lines;
}

QString BatchScript::decode(QByteArrayView content)
{
    const QByteArrayView utf8Bom("\xEF\xBB\xBF");
    if (content.startsWith(utf8Bom))
        return Ftp::NameCodec::decode(content.sliced(utf8Bom.size()));
    return Ftp::NameCodec::decode(content);
}

QString BatchScript::withCharacterReferencesResolved(const QString &text)
{
    QString resolved;
    resolved.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const Reference reference = referenceAt(text, i);
        if (reference.length > 0 && writtenAsReference(reference.codePoint)) {
            // Not QString::fromUcs4, which drops a byte order mark at the start of its text.
            resolved += QStringView(QChar::fromUcs4(reference.codePoint));
            i += reference.length;
        } else {
            resolved += text.at(i);
            ++i;
        }
    }
    return resolved;
}

QString BatchScript::linuxPath(const QString &path)
{
    return Platform::DosPath::isAbsolute(path) ? Platform::DosPath::toLinux(path) : path;
}
