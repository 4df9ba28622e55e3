#include "hvsftp/BatchOptions.h"

#include <QMap>

namespace {

// The options that take the argument after them as their value.
struct ValueOption
{
    QLatin1String name;
    QLatin1String valueName;
    bool required;
};

constexpr ValueOption ValueOptions[] = {
    {QLatin1String("-l"), QLatin1String("USER"), true},
    {QLatin1String("-pw"), QLatin1String("PASSWORD"), true},
    {QLatin1String("-b"), QLatin1String("SCRIPT"), true},
    {QLatin1String("-hv"), QLatin1String("TEXT"), false},
};

const ValueOption *valueOption(const QString &argument)
{
    for (const ValueOption &option : ValueOptions) {
        if (argument == option.name)
            return &option;
    }
    return nullptr;
}

} // namespace

BatchOptions::Parsed BatchOptions::parse(const QStringList &arguments)
{
    Parsed parsed;
    const auto failed = [&parsed](const QString &why) {
        parsed.error = why;
        return parsed;
    };

    BatchOptions options;
    QMap<QString, QString> values; // by option name
    QStringList servers;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help")) {
            parsed.helpAsked = true;
            return parsed;
        }
        if (argument == QLatin1String("-be")) {
            options.goOnAfterFailure = true;
        } else if (argument == QLatin1String("-k")) {
            options.acceptNewHostKey = true;
        } else if (const ValueOption *option = valueOption(argument)) {
            if (i + 1 == arguments.size())
                return failed(QStringLiteral("option %1 needs a value (%1 %2)")
                                  .arg(option->name, option->valueName));
            // Taken before the checks below so that a wrong command line does not leave the
            // password in the process list either.
            ++i;
            if (option->name == QLatin1String("-pw"))
                parsed.passwordArgument = i;
            if (values.contains(option->name))
                return failed(QStringLiteral("option %1 is given twice").arg(option->name));
            values.insert(option->name, arguments.at(i));
        } else if (argument.size() > 1 && argument.startsWith(QLatin1Char('-'))) {
            return failed(QStringLiteral("unknown option %1").arg(argument));
        } else {
            servers.append(argument);
        }
    }

    for (const ValueOption &option : ValueOptions) {
        if (option.required && !values.contains(option.name))
            return failed(
                QStringLiteral("option %1 %2 is missing").arg(option.name, option.valueName));
    }
    if (servers.isEmpty())
        return failed(QStringLiteral("no HOST[:PORT] to connect to"));
    if (servers.size() > 1)
        return failed(
            QStringLiteral("more than one HOST[:PORT]: %1").arg(servers.join(QLatin1String(", "))));
    options.user = values.value(QStringLiteral("-l"));
    options.password = values.value(QStringLiteral("-pw"));
    options.scriptPath = values.value(QStringLiteral("-b"));
    if (values.contains(QStringLiteral("-hv")))
        options.doneText = values.value(QStringLiteral("-hv"));
    options.server = servers.first();
    if (options.server.isEmpty())
        return failed(QStringLiteral("the HOST[:PORT] is empty"));
    if (options.user.isEmpty())
        return failed(QStringLiteral("the user name (-l) is empty"));
    if (options.scriptPath.isEmpty())
        return failed(QStringLiteral("the script path (-b) is empty"));

    parsed.options = options;
    return parsed;
}

QString BatchOptions::usage()
{
    return QStringLiteral(
        "Usage: hvsftp -l USER -pw PASSWORD -b SCRIPT [-be] [-k] [-hv TEXT] HOST[:PORT]\n"
        "Runs the commands of SCRIPT on an SFTP server, one command a line:\n"
        "  cd \"FOLDER\", put [-u] \"LOCAL\" [\"REMOTE\"], get \"REMOTE\" [\"LOCAL\"],\n"
        "  mkdir \"FOLDER\", del \"REMOTE\", ren \"OLD\" \"NEW\", pwd\n"
        "  (a double quote inside a name is written twice)\n"
        "  -be       go on after a failed command\n"
        "  -k        accept and record a host key not seen before\n"
        "  -hv TEXT  print TEXT when the whole batch has succeeded\n"
        "Exit status: 0 all done, 1 options, script or connection failed, 2 a command "
        "failed.");
}
