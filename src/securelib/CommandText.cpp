#include "securelib/CommandText.h"

namespace {

const QLatin1Char Quote('"');

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

void skipBlanks(QStringView text, qsizetype &position)
{
    while (position < text.size() && isBlank(text.at(position)))
        ++position;
}

// The next blank-delimited word from `position` on, moving `position` past it.
QStringView nextWord(QStringView text, qsizetype &position)
{
    skipBlanks(text, position);
    const qsizetype start = position;
    while (position < text.size() && !isBlank(text.at(position)))
        ++position;
    return text.mid(start, position - start);
}

// The quoted argument that starts at `position`, moving `position` past its closing quote;
// nothing when the quote is never closed.
std::optional<QString> quotedArgument(QStringView text, qsizetype &position)
{
    QString argument;
    for (qsizetype at = position + 1; at < text.size(); ++at) {
        if (text.at(at) != Quote) {
            argument += text.at(at);
        } else if (at + 1 < text.size() && text.at(at + 1) == Quote) {
            argument += Quote;
            ++at;
        } else {
            position = at + 1;
            return argument;
        }
    }
    return std::nullopt;
}

// The arguments after the flags: quoted ones and bare words, each followed by a blank or the
// end of the text.
std::optional<QStringList> argumentsOf(QStringView text)
{
    QStringList arguments;
    qsizetype position = 0;
    for (skipBlanks(text, position); position < text.size(); skipBlanks(text, position)) {
        if (text.at(position) == Quote) {
            const std::optional<QString> argument = quotedArgument(text, position);
            if (!argument || (position < text.size() && !isBlank(text.at(position))))
                return std::nullopt;
            arguments.append(*argument);
        } else {
            const QStringView word = nextWord(text, position);
            if (word.contains(Quote))
                return std::nullopt;
            arguments.append(word.toString());
        }
    }
    return arguments;
}

} // namespace

CommandText CommandText::parse(QStringView text)
{
    CommandText command;
    const QStringView line = text.trimmed();
    qsizetype position = 0;
    command.m_verb = nextWord(line, position).toString().toLower();

    // Flags are the unquoted words that start with "-" before the first argument.
    for (;;) {
        qsizetype next = position;
        const QStringView word = nextWord(line, next);
        if (!word.startsWith(QLatin1Char('-')) || word.size() < 2 || word.contains(Quote))
            break;
        command.m_flags.append(word.toString().toLower());
        position = next;
    }
    command.m_arguments = argumentsOf(line.mid(position));
    return command;
}
