// The Windows command-line splitter. Arguments joined into a command line by the Windows
// quoting rules split again into the same arguments: the arguments it split from any text, and
// any list of arguments (the input's parts between NULs).

#include "FuzzInput.h"

#include "platform/Launcher.h"

using Platform::Launcher;
using namespace Qt::StringLiterals;

namespace {

// An argument in double quotes when it needs them: backslashes double where a quote follows
// them, and a quote inside is written \".
QString quotedArgument(const QString &argument)
{
    if (!argument.isEmpty() && !argument.contains(u' ') && !argument.contains(u'\t') &&
        !argument.contains(u'"'))
        return argument;
    QString quoted = u"\""_s;
    qsizetype backslashes = 0;
    for (const QChar c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        quoted += QString(c == u'"' ? 2 * backslashes + 1 : backslashes, u'\\') + c;
        backslashes = 0;
    }
    return quoted + QString(2 * backslashes, u'\\') + u'"';
}

// The program name takes no escapes: it is quoted whole, and cannot hold a quote.
QString commandLine(const QStringList &arguments)
{
    QStringList parts;
    for (qsizetype i = 0; i < arguments.size(); ++i)
        parts.append(i == 0 ? u'"' + arguments.at(i) + u'"' : quotedArgument(arguments.at(i)));
    return parts.join(u' ');
}

void checkSplitsBack(const QStringList &arguments)
{
    const QString line = commandLine(arguments);
    const QStringList split = Launcher::splitCommandLine(line);
    FUZZ_CHECK(split == arguments, arguments, " as ", line, " splits into ", split);
}

} // namespace

FUZZ_TARGET(input)
{
    const QStringList split = Launcher::splitCommandLine(QString::fromUtf8(input));
    FUZZ_CHECK(split.isEmpty() || !split.first().contains(u'"'), split);
    checkSplitsBack(split);

    QStringList arguments;
    for (const QByteArray &part : input.toByteArray().split('\0'))
        arguments.append(QString::fromUtf8(part));
    if (!arguments.first().contains(u'"'))
        checkSplitsBack(arguments);
}
