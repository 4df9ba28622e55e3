#include "host/HostOptions.h"

#include "platform/Prefix.h"

namespace {

// The words that take a value, and where the value goes.
QString *valueOf(HostOptions &options, const QString &argument)
{
    if (argument == QLatin1String("--shots"))
        return &options.shotsPath;
    if (argument == QLatin1String("--bag"))
        return &options.bagPath;
    if (argument == QLatin1String("--screenshot"))
        return &options.screenshotPath;
    if (argument == QLatin1String("--script"))
        return &options.scriptPath;
    return nullptr;
}

// Why the options do not go together; empty when they do.
QString conflictOf(const HostOptions &options, bool timeoutGiven)
{
    if (options.autoPilot && !options.scriptPath.isEmpty())
        return QStringLiteral("--auto and --script exclude each other");
    if (options.scripted() && !options.screenshotPath.isEmpty())
        return QStringLiteral("--screenshot does not go with a script (use --shots)");
    if (!options.scripted() && !options.shotsPath.isEmpty())
        return QStringLiteral("--shots works with --script or --auto");
    if (!options.scripted() && timeoutGiven)
        return QStringLiteral("--timeout works with --script or --auto");
    return {};
}

} // namespace

HostOptions HostOptions::parse(const QStringList &arguments)
{
    HostOptions options;
    bool timeoutGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
            return options;
        }
        if (argument == QLatin1String("--loadfunc")) {
            options.loadFunc = true;
            continue;
        }
        if (argument == QLatin1String("--auto")) {
            options.autoPilot = options.loadFunc = true;
            continue;
        }
        const bool isTimeout = argument == QLatin1String("--timeout");
        QString *target = valueOf(options, argument);
        if (!target && !isTimeout) {
            options.error = QStringLiteral("unknown argument: ") + argument;
            return options;
        }
        if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty()) {
            options.error = argument + (isTimeout ? QStringLiteral(" needs a number of seconds")
                                                  : QStringLiteral(" needs a path"));
            return options;
        }
        const QString &value = arguments.at(++i);
        if (!isTimeout) {
            *target = value;
            continue;
        }
        bool isNumber = false;
        options.timeoutSeconds = value.toInt(&isNumber);
        if (!isNumber || options.timeoutSeconds < 1) {
            options.error = QStringLiteral("--timeout takes a whole number of seconds above 0");
            return options;
        }
        timeoutGiven = true;
    }
    options.error = conflictOf(options, timeoutGiven);
    if (options.bagPath.isEmpty())
        options.bagPath = Platform::Prefix::path(QStringLiteral("host.ini"));
    return options;
}

QString HostOptions::usage()
{
    return QStringLiteral(
        "usage: vellix-host [--bag FILE] [--loadfunc] [--shots DIR]\n"
        "                   [--script FILE.js | --auto] [--timeout SECONDS]\n"
        "       vellix-host [--bag FILE] [--loadfunc] [--screenshot FILE]\n"
        "\n"
        "Places the Vellix control on a form, as a host page does.\n"
        "\n"
        "  --bag FILE         the control's saved properties (default: host.ini in the prefix)\n"
        "  --loadfunc         hand the control a function object, so that uploads rebuild\n"
        "                     the archive catalogue\n"
        "  --script FILE.js   run a script against the control and its windows, then quit:\n"
        "                     0 when it ran through, 1 on fail() or an error in the script,\n"
        "                     3 when it timed out\n"
        "  --auto             click Upload, answer every box with its default button; 0 when\n"
        "                     the upload was announced as successful (implies --loadfunc)\n"
        "  --shots DIR        with a script: save a picture of every window and box shown\n"
        "  --timeout SECONDS  with a script: give up after so long (default 300)\n"
        "  --screenshot FILE  save a picture of the host window and quit\n"
        "  --help             print this text\n"
        "\n"
        "Scripts are JavaScript; see \"Scripting the control\" in the README.");
}
