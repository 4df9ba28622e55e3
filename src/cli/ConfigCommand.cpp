#include "cli/ConfigCommand.h"

#include "cli/CliDispatcher.h"
#include "course/ConfigFile.h"
#include "course/ConfigStore.h"
#include "course/LoginStore.h"
#include "course/SharedState.h"
#include "course/StartupFolders.h"
#include "platform/Prefix.h"
#include "platform/Profile.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

namespace {

const QString ShowUsage = QStringLiteral("vellix config show COURSE [--archive NAME]");
const QString SetLoginUsage = QStringLiteral("vellix config set-login COURSE --site SITE --user "
                                             "USER [--secure 0|1] [--tls auto|require|off]");

QCommandLineOption helpOption()
{
    return QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
}

QCommandLineOption valueOption(const QString &name, const QString &valueName)
{
    return QCommandLineOption(name, QString(), valueName);
}

// A course names a section of the file; these characters cannot stand in a section's name.
bool isValidCourse(const QString &course)
{
    return !course.isEmpty() && !course.contains(QLatin1Char(']')) &&
           !course.contains(QLatin1Char('\r')) && !course.contains(QLatin1Char('\n')) &&
           !course.contains(QChar(0));
}

// A password is shown as one star per character, never as its text.
QString masked(const QString &password)
{
    return QString(password.toUcs4().size(), QLatin1Char('*'));
}

QString problemText(LoginStore::Problem problem)
{
    switch (problem) {
    case LoginStore::Problem::TooLong:
        return QStringLiteral("it is longer than Dovrelle.ini can give back (254 bytes)");
    case LoginStore::Problem::Unstorable:
        return QStringLiteral("it holds a character that Dovrelle.ini cannot keep");
    case LoginStore::Problem::None:
        break;
    }
    return {};
}

} // namespace

QString ConfigCommand::name() const
{
    return QStringLiteral("config");
}

QStringList ConfigCommand::usage() const
{
    return {ShowUsage, SetLoginUsage};
}

QStringList ConfigCommand::notes() const
{
    return {QStringLiteral("set-login reads the password from the environment variable %1.")
                .arg(QLatin1String(PasswordVariable)),
            QStringLiteral("Dovrelle.ini is the one in the Windows folder of $VELLIX_PREFIX.")};
}

int ConfigCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const QString action = arguments.value(0);
    const bool showing = action == QLatin1String("show");
    if (showing || action == QLatin1String("set-login")) {
        // Dovrelle.ini lives in the prefix: where that cannot be made, every value would read
        // as missing and none could be stored.
        const QString windows = Platform::Prefix::windowsFolder();
        if (!QFileInfo(windows).isDir()) {
            err << "vellix: cannot make the folder " << windows
                << " of Dovrelle.ini; set VELLIX_PREFIX to a folder this user may write in\n";
            return Failure;
        }
        return showing ? show(arguments.mid(1), out, err) : setLogin(arguments.mid(1), out, err);
    }
    if (action == QLatin1String("--help") || action == QLatin1String("-h")) {
        CliDispatcher::printUsage(usage(), out);
        return Success;
    }
    if (action.isEmpty())
        err << "vellix: config needs an action\n";
    else
        err << "vellix: unknown config action '" << action << "'\n";
    CliDispatcher::printUsage(usage(), err);
    return UsageError;
}

int ConfigCommand::show(const QStringList &arguments, QTextStream &out, QTextStream &err) const
{
    QCommandLineParser parser;
    const QCommandLineOption archiveOption =
        valueOption(QStringLiteral("archive"), QStringLiteral("NAME"));
    parser.addOption(archiveOption);
    int status = Success;
    const auto course = parse(parser, arguments, ShowUsage, out, err, status);
    if (!course)
        return status;

    SharedState &state = Shared();
    // The control finds its local folders when it starts, before it reads a course; the same
    // start-up here makes the values shown the ones the control would use.
    FindWindowsDrive();
    FindHostFolder();
    ReadCourseConfig(*course);
    if (const ConfigFile file; !file.isReadable())
        err << "vellix: note: " << Platform::Profile::resolve(ConfigFile::name())
            << " cannot be read\n";
    else if (!file.hasValues(*course))
        err << "vellix: note: Dovrelle.ini has no values for course '" << *course << "'\n";

    const std::pair<const char *, QString> values[] = {
        {"SiteName", state.SiteName},
        {"UserId", state.UserId},
        {"Password", masked(state.Password)},
        {"Tls", Ftp::tlsModeName(state.Tls)},
        {"StartMonth", state.StartMonth},
        {"StartYear", state.StartYear},
        {"EndMonth", state.EndMonth},
        {"EndYear", state.EndYear},
        {"School", state.School},
        {"Dept", state.Dept},
        {"TeacherName", state.TeacherName},
        {"LastLocalDir", state.LastLocalDir},
    };
    for (const auto &[name, value] : values)
        out << name << '=' << value << '\n';

    if (parser.isSet(archiveOption)) {
        ReadFolderMap(*course, parser.value(archiveOption));
        out << "NamedFolders=" << (state.NamedFolders ? 1 : 0) << '\n';
        for (size_t m = 0; m < state.FolderNames.size(); ++m)
            out << "FolderName" << m + 1 << '=' << state.FolderNames[m] << '\n';
    }
    return Success;
}

int ConfigCommand::setLogin(const QStringList &arguments, QTextStream &out, QTextStream &err) const
{
    QCommandLineParser parser;
    const QCommandLineOption siteOption =
        valueOption(QStringLiteral("site"), QStringLiteral("SITE"));
    const QCommandLineOption userOption =
        valueOption(QStringLiteral("user"), QStringLiteral("USER"));
    const QCommandLineOption secureOption =
        valueOption(QStringLiteral("secure"), QStringLiteral("0|1"));
    const QCommandLineOption tlsOption =
        valueOption(QStringLiteral("tls"), QStringLiteral("auto|require|off"));
    parser.addOptions({siteOption, userOption, secureOption, tlsOption});
    int status = Success;
    const auto course = parse(parser, arguments, SetLoginUsage, out, err, status);
    if (!course)
        return status;

    const QString site = parser.value(siteOption);
    const QString user = parser.value(userOption);
    if (site.isEmpty())
        return usageError(QStringLiteral("set-login needs --site SITE"), SetLoginUsage, err);
    if (user.isEmpty())
        return usageError(QStringLiteral("set-login needs --user USER"), SetLoginUsage, err);
    const QString secure =
        parser.isSet(secureOption) ? parser.value(secureOption) : QStringLiteral("0");
    if (secure != QLatin1String("0") && secure != QLatin1String("1"))
        return usageError(QStringLiteral("--secure takes 0 or 1"), SetLoginUsage, err);
    const auto tls = parser.isSet(tlsOption) ? Ftp::tlsModeFromName(parser.value(tlsOption))
                                             : std::optional<Ftp::TlsMode>();
    if (parser.isSet(tlsOption) && !tls)
        return usageError(QStringLiteral("--tls takes auto, require or off"), SetLoginUsage, err);

    if (!qEnvironmentVariableIsSet(PasswordVariable)) {
        err << "vellix: set the environment variable " << PasswordVariable
            << " to the password to store\n";
        return Failure;
    }
    const QString password = qEnvironmentVariable(PasswordVariable);

    const LoginStore login;
    const std::pair<const char *, QString> values[] = {
        {"site", site}, {"user name", user}, {"password", password}};
    for (const auto &[what, value] : values) {
        const LoginStore::Problem problem = login.problemWith(value);
        if (problem != LoginStore::Problem::None) {
            err << "vellix: the " << what << " cannot be stored: " << problemText(problem)
                << "; nothing was written\n";
            return Failure;
        }
    }

    const QString file = Platform::Profile::resolve(ConfigFile::name());
    const LoginStore::Outcome written =
        WriteLoginData(*course, site, user, password, secure == QLatin1String("1"));
    if (!written) {
        err << "vellix: cannot write the login data of course '" << *course << "' to " << file
            << '\n';
        return Failure;
    }
    if (tls && !WriteTlsMode(*course, *tls)) {
        err << "vellix: cannot write the TLS setting of course '" << *course << "' to " << file
            << '\n';
        return Failure;
    }
    if (written.madePrivate) {
        err << "vellix: note: " << file
            << " could be read by other users; it holds login data, so it is now readable by its "
               "owner only\n";
    }
    out << "Stored the login data of course '" << *course << "'.\n";
    return Success;
}

std::optional<QString> ConfigCommand::parse(QCommandLineParser &parser,
                                            const QStringList &arguments, const QString &usageLine,
                                            QTextStream &out, QTextStream &err, int &status)
{
    const QCommandLineOption help = helpOption();
    parser.addOption(help);
    if (!parser.parse(QStringList{QStringLiteral("vellix")} + arguments)) {
        status = usageError(parser.errorText(), usageLine, err);
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        CliDispatcher::printUsage({usageLine}, out);
        status = Success;
        return std::nullopt;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        status = usageError(positional.isEmpty() ? QStringLiteral("a COURSE is needed")
                                                 : QStringLiteral("only one COURSE is taken"),
                            usageLine, err);
        return std::nullopt;
    }
    if (!isValidCourse(positional.first())) {
        status = usageError(QStringLiteral("'%1' is not a course name").arg(positional.first()),
                            usageLine, err);
        return std::nullopt;
    }
    return positional.first();
}

int ConfigCommand::usageError(const QString &message, const QString &usageLine, QTextStream &err)
{
    err << "vellix: " << message << '\n';
    CliDispatcher::printUsage({usageLine}, err);
    return UsageError;
}
