#include "platform/Launcher.h"

#include "platform/DosPath.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <dlfcn.h>

namespace Platform {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString baseName(const QString &program)
{
    const qsizetype slash =
        std::max(program.lastIndexOf(QLatin1Char('\\')), program.lastIndexOf(QLatin1Char('/')));
    return program.mid(slash + 1).toLower();
}

QString withoutExe(const QString &program)
{
    return program.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive) ? program.chopped(4)
                                                                        : program;
}

// Arguments for a desktop program: DOS paths become Linux paths.
QStringList mappedArguments(const QStringList &arguments)
{
    QStringList mapped;
    for (const QString &argument : arguments)
        mapped.append(DosPath::isAbsolute(argument) ? DosPath::toLinux(argument) : argument);
    return mapped;
}

Launcher::Command desktopOpen(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return {{}, {}, QStringLiteral("There is nothing to open.")};
    return {QStringLiteral("xdg-open"), {arguments.first()}, {}};
}

Launcher::Command textEditor(const QStringList &arguments)
{
    for (const char *variable : {"VISUAL", "EDITOR"}) {
        QStringList editor = QProcess::splitCommand(qEnvironmentVariable(variable));
        if (!editor.isEmpty()) {
            const QString program = editor.takeFirst();
            return {program, editor + arguments, {}};
        }
    }
    return desktopOpen(arguments);
}

Launcher::Command wordProcessor(const QStringList &arguments)
{
    if (!QStandardPaths::findExecutable(QStringLiteral("libreoffice")).isEmpty())
        return {
            QStringLiteral("libreoffice"), QStringList{QStringLiteral("--writer")} + arguments, {}};
    return desktopOpen(arguments);
}

// The desktop's own program for a well-known Windows program; nullopt for any other program.
std::optional<Launcher::Command> desktopProgram(const QString &program,
                                                const QStringList &arguments)
{
    const QString name = withoutExe(baseName(program));
    const QStringList mapped = mappedArguments(arguments);
    if (name == QLatin1String("iexplore") || name == QLatin1String("explorer") ||
        name == QLatin1String("mspaint"))
        return desktopOpen(mapped);
    if (name == QLatin1String("notepad"))
        return textEditor(mapped);
    if (name == QLatin1String("wordpad") || name == QLatin1String("write") ||
        name == QLatin1String("winword"))
        return wordProcessor(mapped);
    return std::nullopt;
}

// Where the programs installed with the control live, when the search path does not name it:
// beside the running program, and in the installed programs' folder, found from the control
// library's.
QStringList programFolders()
{
    QStringList folders;
    if (QCoreApplication::instance())
        folders.append(QCoreApplication::applicationDirPath());
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void *>(&Launcher::start), &info) != 0 && info.dli_fname)
        folders.append(QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath() +
                       QStringLiteral("/" VELLIX_PROGRAMS_FROM_LIBRARIES));
    return folders;
}

bool isProgramFile(const QString &linuxPath)
{
    const QFileInfo info(linuxPath);
    return info.isFile() && info.isExecutable();
}

// The Linux program for a program path or name: NAME.exe runs NAME when no NAME.exe exists.
QString programFile(const QString &program)
{
    const QStringList candidates = {program, withoutExe(program)};
    for (const QString &candidate : candidates) {
        if (DosPath::isAbsolute(candidate)) {
            const QString linuxPath = DosPath::toLinux(candidate);
            if (isProgramFile(linuxPath))
                return linuxPath;
        } else if (candidate.startsWith(QLatin1Char('/'))) {
            if (isProgramFile(candidate))
                return candidate;
        } else if (!candidate.contains(QLatin1Char('\\'))) {
            QString found = QStandardPaths::findExecutable(candidate);
            if (found.isEmpty())
                found = QStandardPaths::findExecutable(candidate, programFolders());
            if (!found.isEmpty())
                return found;
        }
    }
    return {};
}

} // namespace

QStringList Launcher::splitCommandLine(const QString &commandLine)
{
    QStringList arguments;
    qsizetype i = 0;
    const qsizetype n = commandLine.size();
    while (i < n && isBlank(commandLine.at(i)))
        ++i;
    if (i == n)
        return arguments;

    // The program name: quotes group, backslashes are plain characters.
    QString program;
    bool quoted = false;
    for (; i < n && (quoted || !isBlank(commandLine.at(i))); ++i) {
        if (commandLine.at(i) == QLatin1Char('"'))
            quoted = !quoted;
        else
            program += commandLine.at(i);
    }
    arguments.append(program);

    while (true) {
        while (i < n && isBlank(commandLine.at(i)))
            ++i;
        if (i == n)
            break;
        QString argument;
        quoted = false;
        while (i < n && (quoted || !isBlank(commandLine.at(i)))) {
            const QChar c = commandLine.at(i);
            if (c == QLatin1Char('\\')) {
                qsizetype backslashes = 0;
                while (i < n && commandLine.at(i) == QLatin1Char('\\')) {
                    ++backslashes;
                    ++i;
                }
                if (i < n && commandLine.at(i) == QLatin1Char('"')) {
                    argument += QString(backslashes / 2, QLatin1Char('\\'));
                    if (backslashes % 2 == 1) {
                        argument += QLatin1Char('"');
                        ++i;
                    }
                } else {
                    argument += QString(backslashes, QLatin1Char('\\'));
                }
                continue;
            }
            if (c == QLatin1Char('"')) {
                // Inside quotes, a doubled quote stands for one quote.
                if (quoted && i + 1 < n && commandLine.at(i + 1) == QLatin1Char('"')) {
                    argument += QLatin1Char('"');
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            argument += c;
            ++i;
        }
        arguments.append(argument);
    }
    return arguments;
}

QString Launcher::quoteArgument(const QString &argument)
{
    const QLatin1Char quote('"');
    const QLatin1Char backslash('\\');
    QString quoted(quote);
    // Backslashes count only in front of a quote, so they are held back until it is known
    // what follows them.
    qsizetype backslashes = 0;
    for (const QChar c : argument) {
        if (c == backslash) {
            ++backslashes;
            continue;
        }
        if (c == quote)
            quoted += QString(2 * backslashes + 1, backslash);
        else
            quoted += QString(backslashes, backslash);
        quoted += c;
        backslashes = 0;
    }
    return quoted + QString(2 * backslashes, backslash) + quote;
}

Launcher::Command Launcher::resolve(const QString &commandLine)
{
    QStringList arguments = splitCommandLine(commandLine);
    if (arguments.isEmpty() || arguments.first().isEmpty())
        return {{}, {}, QStringLiteral("The command line is empty.")};
    const QString program = arguments.takeFirst();
    if (auto desktop = desktopProgram(program, arguments))
        return *desktop;
    const QString file = programFile(program);
    if (file.isEmpty())
        return {{}, {}, QStringLiteral("Cannot find the program '%1'.").arg(program)};
    return {file, arguments, {}};
}

Launcher::Result Launcher::start(const QString &commandLine)
{
    const Command command = resolve(commandLine);
    if (!command.error.isEmpty())
        return {false, 0, command.error};
    qint64 pid = 0;
    if (!QProcess::startDetached(command.program, command.arguments, QString(), &pid))
        return {false, 0, QStringLiteral("Cannot start the program '%1'.").arg(command.program)};
    return {true, pid, {}};
}

} // namespace Platform
