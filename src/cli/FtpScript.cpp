#include "cli/FtpScript.h"

#include "transport/NameCodec.h"

#include <QIODevice>

#include <utility>

namespace {

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
        // Empty only at the end: an empty line still holds its line end.
        QByteArray bytes = m_input.readLine();
        if (bytes.isEmpty())
            break;
        ++m_lineNumber;
        while (bytes.endsWith('\n') || bytes.endsWith('\r'))
            bytes.chop(1);
        if (!Ftp::NameCodec::isUtf8(bytes)) {
            Line line;
            line.number = m_lineNumber;
            line.problem = QStringLiteral("the line is not UTF-8 text");
            return line;
        }
        const QString text = QString::fromUtf8(bytes);
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
