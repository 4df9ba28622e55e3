// The secure library's command parser. Its verb and flags are words of the text, and every
// two-argument reading joins to the one-argument reading; and every command text the client
// builds reads back with the arguments it was built from among its readings.
// The arguments of the built commands are the input's first two parts between NULs (the
// library reads a command text up to its first NUL, so no argument holds one).

#include "FuzzInput.h"

#include "securelib/CommandText.h"
#include "transport/SecureCommand.h"

using namespace Qt::StringLiterals;

namespace {

const QLatin1String Separator("\" \"");

bool isWord(const QString &text)
{
    return !text.contains(u' ') && !text.contains(u'\t');
}

void checkShape(const CommandText &command)
{
    FUZZ_CHECK(isWord(command.verb()), Fuzz::shown(command.verb()));
    for (const QString &flag : command.flags())
        FUZZ_CHECK(flag.size() > 1 && flag.startsWith(u'-') && isWord(flag), Fuzz::shown(flag));
    const QList<QStringList> readings = command.readings();
    FUZZ_CHECK(!readings.isEmpty(), Fuzz::shown(command.verb()));
    for (const QStringList &reading : readings.mid(1)) {
        FUZZ_CHECK(readings.first().size() == 1 && reading.size() == 2 &&
                       reading.join(Separator) == readings.first().first(),
                   Fuzz::shown(reading) + u" of "_s + Fuzz::shown(readings.first()));
    }
}

// The verb texts the client writes, and how many arguments follow each.
struct ClientCommand
{
    QStringView verbText;
    QString verb;
    QStringList flags;
    bool twoArguments;
};

const ClientCommand ClientCommands[] = {
    {u"ren ", u"ren"_s, {}, true},      {u"put -h ", u"put"_s, {u"-h"_s}, true},
    {u"get ", u"get"_s, {}, true},      {u"del -h ", u"del"_s, {u"-h"_s}, false},
    {u"mkdir ", u"mkdir"_s, {}, false}, {u"cd ", u"cd"_s, {}, false},
    {u"dir ", u"dir"_s, {}, false},
};

void checkClientCommandsReadBack(const QString &first, const QString &second)
{
    for (const ClientCommand &client : ClientCommands) {
        const QString text = client.twoArguments
                                 ? SecureCommand::command(client.verbText, first, second)
                                 : SecureCommand::command(client.verbText, first);
        const CommandText command = CommandText::parse(text);
        const QStringList arguments =
            client.twoArguments ? QStringList{first, second} : QStringList{first};
        const bool found = client.twoArguments ? command.readingsWith(2).contains(arguments)
                                               : command.readings().first() == arguments;
        FUZZ_CHECK(command.verb() == client.verb && command.flags() == client.flags && found,
                   Fuzz::shown(text) + u" reads "_s + Fuzz::shown(command.readings()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input = Fuzz::bytes(data, size);
    checkShape(CommandText::parse(QString::fromUtf8(input)));

    const QList<QByteArray> parts = input.toByteArray().split('\0');
    checkClientCommandsReadBack(QString::fromUtf8(parts.first()),
                                QString::fromUtf8(parts.value(1)));
    return 0;
}
