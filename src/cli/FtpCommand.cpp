#include "cli/FtpCommand.h"

#include "cli/CliDispatcher.h"
#include "cli/FtpOperations.h"
#include "cli/FtpScript.h"
#include "cli/TerminalText.h"
#include "cli/TransferRetries.h"
#include "course/StartupFolders.h"
#include "platform/Interruption.h"
#include "platform/TerminalProgress.h"
#include "transport/cFTP.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;

QString FtpCommand::name() const
{
    return u"ftp"_s;
}

QStringList FtpCommand::usage() const
{
    return {u"vellix ftp --site HOST[:PORT] --user USER [--passive] [--secure] "
            u"[--tls auto|require|off] [--timeout SECONDS] [--retry N] [-v] [--quiet] "_s
            u"[COMMAND ARGS...]"_s};
}

QStringList FtpCommand::notes() const
{
    QStringList lines{
        u"ftp reads the password from the environment variable %1. Its commands:"_s.arg(
            QLatin1String(PasswordVariable))};
    for (const QString &line : FtpOperations::usage())
        lines.append(u"    "_s + line);
    lines += {
        u"Without a COMMAND, ftp reads commands from standard input, one a line. There an"_s,
        u"argument with blanks goes in double quotes; a double quote inside them is written twice."_s,
        u"On a terminal, put and get show their progress on standard error; --quiet hides it."_s,
        u"put -c and get -c continue the partial file that an earlier, cut transfer left;"_s,
        u"--retry N tries a transfer that failed for a passing reason (a lost connection)"_s,
        u"again up to N times (0 to %1, none by default), after 1, 2, 4, ... seconds, each"_s.arg(
            TransferRetries::MaxRetries),
        u"time continuing it."_s,
    };
    return lines;
}

int FtpCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption site(u"site"_s, QString(), u"HOST[:PORT]"_s);
    const QCommandLineOption user(u"user"_s, QString(), u"USER"_s);
    const QCommandLineOption passive(u"passive"_s);
    const QCommandLineOption secure(u"secure"_s);
    const QCommandLineOption tls(u"tls"_s, QString(), u"MODE"_s);
    const QCommandLineOption verbose(QStringList{u"v"_s, u"verbose"_s});
    const QCommandLineOption timeout(u"timeout"_s, QString(), u"SECONDS"_s);
    const QCommandLineOption quiet(u"quiet"_s);
    const QCommandLineOption retry(u"retry"_s, QString(), u"N"_s);
    parser.addOptions({help, site, user, passive, secure, tls, verbose, timeout, quiet, retry});
    // Everything after the command's name belongs to the command, even when it begins with "-".
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(QStringList{u"vellix"_s} + arguments))
        return usageError(parser.errorText(), err);
    if (parser.isSet(help)) {
        CliDispatcher::printUsage(usage(), out);
        for (const QString &note : notes())
            out << note << '\n';
        return Success;
    }
    if (parser.value(site).isEmpty())
        return usageError(u"ftp needs --site HOST[:PORT]"_s, err);
    if (parser.value(user).isEmpty())
        return usageError(u"ftp needs --user USER"_s, err);
    bool isNumber = true;
    const int seconds = parser.isSet(timeout) ? parser.value(timeout).toInt(&isNumber) : 0;
    if (!isNumber || (parser.isSet(timeout) && seconds < 1) || seconds > 3600)
        return usageError(u"--timeout takes a number of seconds from 1 to 3600"_s, err);
    const auto tlsMode =
        parser.isSet(tls) ? Ftp::tlsModeFromName(parser.value(tls)) : Ftp::TlsMode::Auto;
    if (!tlsMode)
        return usageError(u"--tls takes auto, require or off"_s, err);
    const int retries = parser.isSet(retry) ? parser.value(retry).toInt(&isNumber) : 0;
    if (!isNumber || retries < 0 || retries > TransferRetries::MaxRetries)
        return usageError(
            u"--retry takes a number of retries from 0 to %1"_s.arg(TransferRetries::MaxRetries),
            err);
    const QStringList command = parser.positionalArguments();
    if (!command.isEmpty()) {
        const QString problem = FtpOperations::problemWith(command);
        if (!problem.isEmpty())
            return usageError(problem, err);
    }
    if (!qEnvironmentVariableIsSet(PasswordVariable)) {
        err << "vellix: set the environment variable " << PasswordVariable << " to the password of "
            << parser.value(user) << '\n';
        return Failure;
    }

    // The local folders the control finds when it starts; a page upload makes its copy on the
    // host drive.
    FindWindowsDrive();
    FindHostFolder();

    // A signal also ends a wait on a stalled server at once, so the clean-up after it is
    // quick and a further signal need not cut it short.
    const Platform::Interruption interruption(Platform::Interruption::Repeat::CancelsAgain);
    cFTP client;
    // The transfers look for a cancel after every block: a signal cancels them there, as the
    // control's Cancel button does.
    client.setHooks({.cancelRequested = [] { return Platform::Interruption::requested(); }});
    client.setTemporaryFolder(HostDriveRoot());
    QObject::connect(&client, &cFTP::ServerNameRefused, [&err](const QString &name) {
        err << "vellix: skipped the server file \"" << TerminalText::printable(name)
            << "\": its name cannot be the name of a local file" << Qt::endl;
    });
    QObject::connect(&client, &cFTP::LocalFileRefused, [&err](const QString &dosPath) {
        err << "vellix: skipped \"" << TerminalText::printable(dosPath)
            << "\": it is no regular file, which a download never writes over" << Qt::endl;
    });
    if (parser.isSet(passive))
        client.SetModePassive();
    if (seconds > 0) {
        const std::chrono::seconds wait(seconds);
        client.setTimeouts({wait, wait, wait});
    }
    client.setTlsMode(*tlsMode);
    client.setSecure(parser.isSet(secure));
    TransferRetries transferRetries(
        client, {parser.value(site), parser.value(user), qEnvironmentVariable(PasswordVariable)},
        retries);
    if (!client.OpenConnection(parser.value(site), parser.value(user),
                               qEnvironmentVariable(PasswordVariable))) {
        err << "vellix: cannot log in to " << parser.value(site) << ": "
            << TerminalText::printable(client.failureReason().trimmed()) << '\n';
        return Failure;
    }
    // A new server key or certificate is always told; how the session is protected, on
    // request.
    if (const QString note = client.securityNote(parser.isSet(verbose)); !note.isEmpty())
        err << "vellix: " << note << '\n';
    transferRetries.rememberFolder();
    Platform::TerminalProgress progress(err);
    if (Platform::TerminalProgress::wanted(parser.isSet(quiet))) {
        QObject::connect(&client, &cFTP::TransferProgress,
                         [&progress](qint64 done, qint64 total) { progress.show(done, total); });
        QObject::connect(&client, &cFTP::TransferResumed,
                         [&progress](qint64 at, qint64 total) { progress.resumed(at, total); });
    }
    FtpOperations operations(client, transferRetries, out);
    const int status =
        command.isEmpty()
            ? runScript(operations, progress, out, err)
            : (runOne(operations, progress, command, {}, out, err) ? Success : Failure);
    client.CloseConnection();
    if (Platform::Interruption::requested()) {
        out.flush();
        err << "vellix: interrupted" << Qt::endl;
        Platform::Interruption::endByRequestedSignal();
    }
    return status;
}

int FtpCommand::runScript(FtpOperations &operations, Platform::TerminalProgress &progress,
                          QTextStream &out, QTextStream &err)
{
    QFile input;
    // The script reads in blocks of its own, taking what has come so far.
    input.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered);
    FtpScript script(input);
    int status = Success;
    while (!Platform::Interruption::requested()) {
        const auto line = script.next();
        if (!line)
            break;
        const QString where = u"line %1: "_s.arg(line->number);
        const QString problem =
            line->words.isEmpty() ? line->problem : FtpOperations::problemWith(line->words);
        if (!problem.isEmpty()) {
            // A line that is not a command is bad usage; it outweighs failed commands.
            err << "vellix: " << where << problem << Qt::endl;
            status = UsageError;
        } else if (!runOne(operations, progress, line->words, where, out, err) &&
                   status == Success) {
            status = Failure;
        }
    }
    return status;
}

bool FtpCommand::runOne(FtpOperations &operations, Platform::TerminalProgress &progress,
                        const QStringList &words, const QString &where, QTextStream &out,
                        QTextStream &err)
{
    Platform::Interruption::setCommandRunning(true);
    // The secure library names its command in its reports ("get: x: ..."); the line names it
    // already.
    const QString verb = words.first() + u": "_s;
    const auto reason = [&verb](const QString &text) {
        return TerminalText::printable(text.startsWith(verb) ? text.mid(verb.size()) : text);
    };
    const auto tellRetry = [&](const TransferRetries::Retry &retry) {
        progress.finish();
        err << "vellix: " << where << verb << "retrying in " << retry.delay.count()
            << " s (attempt " << retry.failedAttempt << " of " << retry.attempts
            << "): " << reason(retry.reason) << Qt::endl;
    };
    std::optional<QString> failure = operations.run(words, tellRetry);
    progress.finish();
    if (failure && Platform::Interruption::requested())
        failure = u"cancelled"_s;
    // Each result shows at once, in order with the failures, also when a person types; a
    // further signal cannot cut the command off before it is told.
    out.flush();
    if (failure)
        err << "vellix: " << where << verb << reason(*failure) << Qt::endl;
    Platform::Interruption::setCommandRunning(false);
    return !failure;
}

int FtpCommand::usageError(const QString &message, QTextStream &err) const
{
    err << "vellix: " << message << '\n';
    CliDispatcher::printUsage(usage(), err);
    return UsageError;
}
