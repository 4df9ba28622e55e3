#include "hvsftp/BatchRun.h"

#include "hvsftp/Console.h"
#include "platform/Interruption.h"
#include "securelib/HVSPFTPUTILS.h"
#include "transport/NameCodec.h"
#include "transport/SecureLibraryKey.h"

#include <QByteArray>

#include <cstdlib>

namespace {

const QLatin1String Prompt("hvsftp> ");
const QLatin1String Verbs[] = {QLatin1String("cd"),    QLatin1String("put"), QLatin1String("get"),
                               QLatin1String("mkdir"), QLatin1String("del"), QLatin1String("ren"),
                               QLatin1String("pwd")};

// Unlocks the library for the run and releases it at the end, whatever way the run ends.
class LibrarySession
{
public:
    LibrarySession() { FtpInit(SecureLibraryKey::key().constData()); }
    ~LibrarySession() { FtpExit(); }
    LibrarySession(const LibrarySession &) = delete;
    LibrarySession &operator=(const LibrarySession &) = delete;
};

// A reply buffer of the library as printable text: cut at its NUL, one line end per line.
QString replyText(const QByteArray &buffer)
{
    QString text = Ftp::NameCodec::decode(QByteArrayView(buffer.constData()));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QString statusText()
{
    QByteArray status(HVSP_STATUS_SIZE, '\0');
    FtpGetStatus(status.data());
    return replyText(status);
}

QString lineMessage(int number, const QString &text)
{
    return QStringLiteral("line %1: ").arg(number) + text;
}

// The command's first word.
QStringView verbOf(const QString &command)
{
    qsizetype end = 0;
    while (end < command.size() && !command.at(end).isSpace())
        ++end;
    return QStringView(command).left(end);
}

// The status text last shown while connecting.
QString shownStatus;

// The library calls this while it connects: each new status text (connecting, the host key
// verified or newly recorded, logged in) is shown once; after Ctrl+C or SIGTERM it stops.
int showStatusAndGoOn()
{
    const QString status = statusText();
    if (status != shownStatus) {
        shownStatus = status;
        Console::out(status);
    }
    return Platform::Interruption::requested() ? 0 : 1;
}

} // namespace

BatchRun::BatchRun(const BatchOptions &options)
    : m_options(options)
    , m_errorStream(stderr)
    , m_showProgress(Platform::TerminalProgress::wanted(false))
{}

BatchRun::ExitStatus BatchRun::run(const QList<BatchScript::Line> &commands)
{
    Platform::Interruption interruption;
    Platform::Interruption::setCommandRunning(true);
    LibrarySession library;
    if (!connect())
        return SetupFailed;

    ExitStatus status = Succeeded;
    for (const BatchScript::Line &line : commands) {
        if (Platform::Interruption::requested()) {
            Console::error(QStringLiteral("stopped by a signal before line %1").arg(line.number));
            status = CommandFailed;
            break;
        }
        if (runCommand(line))
            continue;
        status = CommandFailed;
        if (!m_options.goOnAfterFailure) {
            Console::error(QStringLiteral("batch stopped after the failed command "
                                          "(-be goes on after failures)"));
            break;
        }
    }

    QByteArray reply(HVSP_REPLY_SIZE, '\0');
    FtpClose(reply.data());
    if (status == Succeeded && m_options.doneText)
        Console::out(*m_options.doneText);
    return status;
}

QString BatchRun::refusal(const QString &command)
{
    if (command.contains(QChar(u'\0')))
        return QStringLiteral("the command holds a NUL character");
    const QStringView verb = verbOf(command);
    for (QLatin1String known : Verbs) {
        if (verb.compare(known, Qt::CaseInsensitive) == 0)
            return {};
    }
    return QStringLiteral("unknown command \"%1\" (known: cd, put, get, mkdir, del, ren, pwd)")
        .arg(verb.toString());
}

QString BatchRun::withResume(const QString &command)
{
    const QStringView verb = verbOf(command);
    if (verb.compare(QLatin1String("put"), Qt::CaseInsensitive) != 0 &&
        verb.compare(QLatin1String("get"), Qt::CaseInsensitive) != 0)
        return command;
    return QString(command).insert(verb.size(), QLatin1String(" -c"));
}

bool BatchRun::connect()
{
    FtpSetHostKeyPolicy(m_options.acceptNewHostKey ? HVSP_ACCEPT_NEW_KEYS : HVSP_REFUSE_NEW_KEYS);
    QByteArray reply(HVSP_REPLY_SIZE, '\0');
    const bool connected =
        FtpConnect(m_options.user.toUtf8().constData(), m_options.password.toUtf8().constData(),
                   m_options.server.toUtf8().constData(), reply.data(), showStatusAndGoOn) == 1;
    if (!connected) {
        // The status says why: a refused password or host key, no answer, a cancel...
        const QString why = statusText();
        Console::error(why.isEmpty() ? replyText(reply) : why);
        return false;
    }
    const QString text = replyText(reply);
    if (!text.isEmpty())
        Console::out(text);
    return true;
}

bool BatchRun::runCommand(const BatchScript::Line &line)
{
    if (!line.problem.isEmpty()) {
        Console::error(lineMessage(line.number, line.problem));
        return false;
    }
    Console::out(Prompt + line.text);
    const QString refused = refusal(line.text);
    if (!refused.isEmpty()) {
        Console::error(lineMessage(line.number, refused));
        return false;
    }
    // The library enlarges the buffer to hold its whole reply.
    char *reply = nullptr;
    size_t size = 0;
    const bool done = FtpCmdProgress(withResume(line.text).toUtf8().constData(), &reply, &size,
                                     &BatchRun::transferGoesOn, this) != 0;
    m_progress.finish();
    const QString text = replyText(QByteArray(reply ? reply : ""));
    std::free(reply);
    if (!done) {
        Console::error(
            lineMessage(line.number, text.isEmpty() ? QStringLiteral("the command failed") : text));
        return false;
    }
    if (!text.isEmpty())
        Console::out(text);
    return true;
}

int BatchRun::transferGoesOn(void *run, long long done, long long total)
{
    auto *batch = static_cast<BatchRun *>(run);
    if (batch->m_showProgress)
        batch->m_progress.show(done, total);
    return Platform::Interruption::requested() ? 0 : 1;
}
