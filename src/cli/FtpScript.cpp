#include "cli/FtpScript.h"

#include "transport/NameCodec.h"

#include <QIODevice>

#include <algorithm>
#include <utility>

namespace {

// Read as it comes, so that a person typing has each line run at once.
constexpr qsizetype ReadSize = 16 * 1024;

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

FtpScript::FtpScript(QIODevice &input)
    : m_input(input)
{}

std::optional<FtpScript::Line> FtpScript::next()
{
    for (;;) {
        const std::optional<RawLine> raw = readLine();
        if (!raw)
            break;
        ++m_lineNumber;
        const auto refused = [this](const QString &problem) {
            Line line;
            line.number = m_lineNumber;
            line.problem = problem;
            return line;
        };
        if (raw->tooLong)
            return refused(QStringLiteral("the line is longer than %1 bytes")
                               .arg(QString::number(MaxLineLength)));
        if (raw->bytes.contains('\0'))
            return refused(QStringLiteral("the line holds a NUL character"));
        if (!Ftp::NameCodec::isUtf8(raw->bytes))
            return refused(QStringLiteral("the line is not UTF-8 text"));
        const QString text = QString::fromUtf8(raw->bytes);
        if (text.trimmed().startsWith(QLatin1Char('#')))
            continue;
        Line line;
        line.number = m_lineNumber;
        const auto words = split(text, &line.problem);
        if (words && words->isEmpty())
            continue;
        if (words)
            line.words = *words;
        return line;
    }
    return std::nullopt;
}

std::optional<FtpScript::RawLine> FtpScript::readLine()
{
    RawLine line;
    qsizetype looked = 0; // the bytes after m_begin known to hold no line end
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\n', m_begin + looked);
        if (end >= 0) {
            line.bytes = m_buffer.sliced(m_begin, end - m_begin);
            m_begin = end + 1;
            break;
        }
        // More than the longest line and its CR: what was read of it goes, and the rest of it
        // goes as it comes.
        if (buffered() > MaxLineLength + 1) {
            line.tooLong = true;
            m_buffer.clear();
            m_begin = 0;
        }
        looked = buffered();
        if (!fill()) {
            // The last line may have no line end.
            if (buffered() == 0 && !line.tooLong)
                return std::nullopt;
            line.bytes = m_buffer.sliced(m_begin);
            m_buffer.clear();
            m_begin = 0;
            break;
        }
    }
    while (line.bytes.endsWith('\r'))
        line.bytes.chop(1);
    if (line.tooLong || line.bytes.size() > MaxLineLength) {
        line.tooLong = true;
        line.bytes.clear();
    }
    return line;
}

bool FtpScript::fill()
{
    if (m_atEnd)
        return false;
    // The lines taken make room first.
    m_buffer.remove(0, m_begin);
    m_begin = 0;
    const qsizetype had = m_buffer.size();
    m_buffer.resize(had + ReadSize);
    const qint64 read = m_input.read(m_buffer.data() + had, ReadSize);
    m_buffer.resize(had + std::max<qint64>(read, 0));
    m_atEnd = read <= 0;
    return !m_atEnd;
}

std::optional<QStringList> FtpScript::split(QStringView line, QString *problem)
{
    const QChar quote = QLatin1Char('"');
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c != quote) {
                word += c;
            } else if (i + 1 < line.size() && line.at(i + 1) == quote) {
                word += quote;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == quote) {
            quoted = true;
            inWord = true;
        } else if (isBlank(c)) {
            if (inWord)
                words.append(std::exchange(word, QString()));
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        if (problem)
            *problem = QStringLiteral("a double quote is not closed");
        return std::nullopt;
    }
    if (inWord)
        words.append(word);
    return words;
}
