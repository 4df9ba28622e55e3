// The secure library's command parser. Its verb and flags are words of the text; the arguments
// it reads, quoted again, read back the same; and every command text the client builds reads
// back with the arguments it was built from.
// The arguments of the built commands are the input's first two parts between NULs (the
// library reads a command text up to its first NUL, so no argument holds one).

#include "FuzzInput.h"

#include "securelib/CommandText.h"
#include "transport/SecureCommand.h"

using namespace Qt::StringLiterals;

namespace {

bool isWord(const QString &text)
{
    return !text.contains(u' ') && !text.contains(u'\t');
}

void checkShape(const CommandText &command)
{
    FUZZ_CHECK(isWord(command.verb()), command.verb());
    for (const QString &flag : command.flags())
        FUZZ_CHECK(flag.size() > 1 && flag.startsWith(u'-') && isWord(flag), flag);
}

// Arguments read once, written again as the client writes them, read back the same.
void checkArgumentsRoundTrip(const CommandText &command)
{
    const std::optional<QStringList> arguments = command.arguments();
    if (!arguments || command.verb().isEmpty())
        return;
    QString text = command.verb();
    for (const QString &flag : command.flags())
        text += u' ' + flag;
    for (const QString &argument : *arguments)
        text = SecureCommand::command(text + u' ', argument);
    const CommandText again = CommandText::parse(text);
    FUZZ_CHECK(again.verb() == command.verb() && again.flags() == command.flags() &&
                   again.arguments() == arguments,
               text, " reads ", again.arguments().value_or(QStringList()));
}

// The verb texts the client writes (the verb and its flags), and whether two arguments follow.
const std::pair<QStringView, bool> ClientCommands[] = {
    {u"ren ", true},    {u"put -h ", true}, {u"get ", true},  {u"del -h ", false},
    {u"mkdir ", false}, {u"cd ", false},    {u"dir ", false},
};

void checkClientCommandsReadBack(const QString &first, const QString &second)
{
    for (const auto &[verbText, twoArguments] : ClientCommands) {
        const QString text = twoArguments ? SecureCommand::command(verbText, first, second)
                                          : SecureCommand::command(verbText, first);
        const CommandText command = CommandText::parse(text);
        const QStringList words = verbText.toString().split(u' ', Qt::SkipEmptyParts);
        const QStringList arguments =
            twoArguments ? QStringList{first, second} : QStringList{first};
        FUZZ_CHECK(command.verb() == words.first() && command.flags() == words.mid(1) &&
                       command.arguments() == arguments,
                   text, " reads ", command.arguments().value_or(QStringList()));
    }
}

} // namespace

FUZZ_TARGET(input)
{
    const CommandText command = CommandText::parse(QString::fromUtf8(input));
    checkShape(command);
    checkArgumentsRoundTrip(command);

    const QList<QByteArray> parts = input.toByteArray().split('\0');
    checkClientCommandsReadBack(QString::fromUtf8(parts.first()),
                                QString::fromUtf8(parts.value(1)));
}
