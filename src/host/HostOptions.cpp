#include "host/HostOptions.h"

#include "platform/Prefix.h"

HostOptions HostOptions::parse(const QStringList &arguments)
{
    HostOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        QString *target = nullptr;
        if (argument == QLatin1String("--loadfunc")) {
            options.loadFunc = true;
            continue;
        }
        if (argument == QLatin1String("--auto")) {
            options.autoPilot = options.loadFunc = true;
            continue;
        }
        if (argument == QLatin1String("--shots"))
            target = &options.shotsPath;
        else if (argument == QLatin1String("--bag"))
            target = &options.bagPath;
        else if (argument == QLatin1String("--screenshot"))
            target = &options.screenshotPath;
        else {
            options.error = QStringLiteral("unknown argument: ") + argument;
            return options;
        }
        if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty()) {
            options.error = argument + QStringLiteral(" needs a path");
            return options;
        }
        *target = arguments.at(++i);
    }
    if (!options.shotsPath.isEmpty() && !options.autoPilot) {
        options.error = QStringLiteral("--shots works with --auto");
        return options;
    }
    if (options.bagPath.isEmpty())
        options.bagPath = Platform::Prefix::path(QStringLiteral("host.ini"));
    return options;
}

QString HostOptions::usage()
{
    return QStringLiteral("usage: vellix-host [--bag FILE] [--screenshot FILE] [--loadfunc] "
                          "[--auto [--shots DIR]]");
}
