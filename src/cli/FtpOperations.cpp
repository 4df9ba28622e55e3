#include "cli/FtpOperations.h"

#include "cli/TerminalText.h"
#include "cli/TransferRetries.h"
#include "platform/DosPath.h"
#include "platform/Prefix.h"
#include "platform/UploadSource.h"
#include "transport/ListingRecord.h"
#include "transport/cFTP.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <array>

using namespace Qt::StringLiterals;

struct FtpOperations::Verb
{
    QLatin1String name;
    QLatin1String arguments; // their names, an optional one in brackets
    QLatin1String what;
    Result (FtpOperations::*handler)(const QStringList &arguments);
    bool resumes = false; // takes ResumeFlag before its arguments

    QString form() const; // "put [-c] LOCAL REMOTE"
    qsizetype maximum() const { return arguments.isEmpty() ? 0 : arguments.count(u' ') + 1; }
    qsizetype minimum() const { return maximum() - arguments.count(u'['); }
};

namespace {

// Before the arguments of put and get: continue the partial file an earlier run left.
constexpr QLatin1String ResumeFlag("-c");

// The arguments without a leading ResumeFlag where the verb takes it, and whether it was there.
std::pair<QStringList, Resume> withoutResumeFlag(const QStringList &arguments, bool takesFlag)
{
    if (takesFlag && arguments.value(0) == ResumeFlag)
        return {arguments.mid(1), Resume::Continue};
    return {arguments, Resume::StartOver};
}

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

// Whether a relative path leads nowhere because the current folder was removed meanwhile, as
// it may be under a job that runs on; the problem then says so, rather than that "." lies
// outside the drives.
bool inLostFolder(const QFileInfo &file, QString *problem)
{
    if (!file.isRelative() || !QDir::currentPath().isEmpty())
        return false;
    *problem = u"%1 is relative to the current folder, which no longer exists"_s.arg(
        quoted(file.filePath()));
    return true;
}

// The DOS path under which the client reaches an existing local file. Empty, with the
// problem set, when the file lies outside every drive of the prefix or when its path cannot
// be written as a DOS path that leads back to it (a "\" in a name, say).
QString dosPathOf(const QString &linuxPath, QString *problem)
{
    const QFileInfo file(linuxPath);
    if (inLostFolder(file, problem))
        return {};
    const QString dosPath = Platform::DosPath::toDos(file.absoluteFilePath());
    if (dosPath.isEmpty()) {
        *problem = u"%1 lies outside every drive of %2"_s.arg(
            quoted(linuxPath), Platform::Prefix::path(u"dosdevices"_s));
        return {};
    }
    if (QFileInfo(Platform::DosPath::toLinux(dosPath)).canonicalFilePath() !=
        file.canonicalFilePath()) {
        *problem = u"%1 has no DOS path that leads back to it"_s.arg(quoted(linuxPath));
        return {};
    }
    return dosPath;
}

// The DOS path under which the client writes a local file that may not exist yet: the path of
// its folder and its name. Empty, with the problem set, as for dosPathOf, and when the name
// holds a "\", which a DOS path would read as a folder.
QString dosPathToWrite(const QFileInfo &target, QString *problem)
{
    if (target.fileName().contains(u'\\')) {
        *problem = u"%1 has no DOS path that leads back to it"_s.arg(quoted(target.filePath()));
        return {};
    }
    if (inLostFolder(target, problem))
        return {};
    const QString folder = dosPathOf(target.absolutePath(), problem);
    return folder.isEmpty() ? QString()
                            : Platform::DosPath::withSeparator(folder) + target.fileName();
}

} // namespace

FtpOperations::FtpOperations(cFTP &client, TransferRetries &retries, QTextStream &out)
    : m_client(client)
    , m_retries(retries)
    , m_out(out)
{}

std::span<const FtpOperations::Verb> FtpOperations::verbs()
{
    static const std::array<Verb, 10> table{{
        {"pwd"_L1, {}, "prints the current server folder"_L1, &FtpOperations::pwd},
        {"cd"_L1, "DIR"_L1, "changes the current server folder"_L1, &FtpOperations::cd},
        {"ls"_L1, "[PATTERN]"_L1, "prints name|size|seconds since 1970 UTC|d or - of each entry"_L1,
         &FtpOperations::ls},
        {"put"_L1, "LOCAL REMOTE"_L1, "uploads a local file (a Linux path)"_L1, &FtpOperations::put,
         true},
        {"get"_L1, "REMOTE LOCAL"_L1, "downloads a server file to a local file"_L1,
         &FtpOperations::get, true},
        {"ren"_L1, "OLD NEW"_L1, "renames a server file"_L1, &FtpOperations::ren},
        {"del"_L1, "NAME"_L1, "deletes a server file"_L1, &FtpOperations::del},
        {"mkdir"_L1, "DIR"_L1, "makes a server folder"_L1, &FtpOperations::mkdir},
        {"rmdir"_L1, "DIR"_L1, "removes a server folder"_L1, &FtpOperations::rmdir},
        {"size"_L1, "NAME"_L1, "prints the size of a server file"_L1, &FtpOperations::size},
    }};
    return table;
}

const FtpOperations::Verb *FtpOperations::find(const QString &name)
{
    for (const Verb &verb : verbs()) {
        if (verb.name == name)
            return &verb;
    }
    return nullptr;
}

QString FtpOperations::Verb::form() const
{
    const QString flag = resumes ? u" ["_s + ResumeFlag + u']' : QString();
    return arguments.isEmpty() ? QString(name) : name + flag + u' ' + arguments;
}

QStringList FtpOperations::usage()
{
    QStringList lines;
    for (const Verb &verb : verbs())
        lines.append(verb.form().leftJustified(24) + verb.what);
    return lines;
}

QString FtpOperations::problemWith(const QStringList &words)
{
    if (words.isEmpty())
        return u"no command"_s;
    const Verb *verb = find(words.first());
    if (!verb)
        return u"unknown command %1"_s.arg(quoted(words.first()));
    const qsizetype count = withoutResumeFlag(words.mid(1), verb->resumes).first.size();
    if (count < verb->minimum() || count > verb->maximum())
        return u"%1 takes: %2"_s.arg(verb->name, verb->form());
    return {};
}

std::optional<QString> FtpOperations::run(const QStringList &words,
                                          const TransferRetries::Notice &retryNotice)
{
    const Verb *verb = find(words.value(0));
    Q_ASSERT(verb && problemWith(words).isEmpty());
    // Some failures leave no text (an empty listing's "no more files", a download of a
    // missing file): an old one must not be taken for theirs.
    m_client.clearLastErrorMessage();
    m_retryNotice = &retryNotice;
    const Result result = (this->*verb->handler)(words.mid(1));
    m_retryNotice = nullptr;
    return result;
}

QString FtpOperations::listingLine(const Ftp::Entry &entry)
{
    // An entry the server told no time for has the time 0, as it always had.
    const qint64 seconds = entry.modified.isValid() ? entry.modified.toSecsSinceEpoch() : 0;
    return TerminalText::field(entry.name) + u'|' +
           QString::number(quint32(ListingRecord::fileSize(entry.size))) + u'|' +
           QString::number(seconds) + u'|' + QChar(entry.isDirectory ? u'd' : u'-');
}

FtpOperations::Result FtpOperations::outcome(bool succeeded, const QString &fallback) const
{
    if (succeeded)
        return std::nullopt;
    const QString why = m_client.failureReason().trimmed();
    if (!why.isEmpty())
        return why;
    return fallback;
}

FtpOperations::Result FtpOperations::pwd(const QStringList &)
{
    const QString folder = m_client.GetFTPDirectory();
    if (!folder.isEmpty())
        m_out << TerminalText::printable(folder) << '\n';
    return outcome(!folder.isEmpty(), u"cannot read the current server folder"_s);
}

FtpOperations::Result FtpOperations::cd(const QStringList &arguments)
{
    const bool changed = m_client.SetFTPDirectory(arguments.at(0));
    if (changed)
        m_retries.rememberFolder();
    return outcome(changed,
                   u"cannot change to the server folder %1"_s.arg(quoted(arguments.at(0))));
}

bool FtpOperations::transfer(Resume first, const std::function<bool(Resume)> &attempt)
{
    return m_retries.run(first, attempt,
                         m_retryNotice ? *m_retryNotice : TransferRetries::Notice());
}

FtpOperations::Result FtpOperations::ls(const QStringList &arguments)
{
    const QString pattern = arguments.value(0, u"*"_s);
    // Printed once the listing is whole: a failure on the way prints no line.
    QStringList lines;
    m_client.ListEntries(pattern,
                         [&lines](Ftp::Entry &&entry) { lines.append(listingLine(entry)); });
    // No entries is also the answer for an empty folder and for a pattern that matches nothing.
    if (const QString why = m_client.ListingError(); !why.isEmpty())
        return why.trimmed();
    for (const QString &line : std::as_const(lines))
        m_out << line << '\n';
    return std::nullopt;
}

FtpOperations::Result FtpOperations::put(const QStringList &flagged)
{
    const auto [arguments, resume] = withoutResumeFlag(flagged, true);
    const QString &local = arguments.at(0);
    // A pipe or a character device goes up as its bytes come, until its end.
    const Platform::UploadSource::Kind kind = Platform::UploadSource::of(local);
    if (kind == Platform::UploadSource::Kind::Missing)
        return u"no local file %1"_s.arg(quoted(local));
    if (const QString refused = Platform::UploadSource::refusedKind(kind); !refused.isEmpty())
        return u"%1 is %2: put reads files, pipes and character devices"_s.arg(quoted(local),
                                                                               refused);
    if (!QFileInfo(local).isReadable())
        return u"cannot read %1"_s.arg(quoted(local));
    QString problem;
    const QString dosPath = dosPathOf(local, &problem);
    if (dosPath.isEmpty())
        return problem;
    const QString &remote = arguments.at(1);
    const auto attempt = [&](Resume each) { return m_client.FTPUploadFile(dosPath, remote, each); };
    // What a failed attempt read from a stream is gone: it is not tried again.
    const bool uploaded = kind == Platform::UploadSource::Kind::Stream ? attempt(Resume::StartOver)
                                                                       : transfer(resume, attempt);
    return outcome(uploaded,
                   u"cannot upload %1 to %2"_s.arg(quoted(local), quoted(arguments.at(1))));
}

FtpOperations::Result FtpOperations::get(const QStringList &flagged)
{
    const auto [arguments, resume] = withoutResumeFlag(flagged, true);
    const QString &remote = arguments.at(0);
    const QString &local = arguments.at(1);
    const QFileInfo target(local);
    if (target.isDir())
        return u"%1 is a folder; name the local file to write"_s.arg(quoted(local));
    if (!QFileInfo(target.absolutePath()).isDir())
        return u"no local folder %1"_s.arg(quoted(target.absolutePath()));
    QString problem;
    const QString dosPath = dosPathToWrite(target, &problem);
    if (dosPath.isEmpty())
        return problem;
    // The client replaces the local file only with a complete download.
    const bool downloaded = transfer(
        resume, [&](Resume each) { return m_client.FTPDownloadFile(dosPath, remote, each); });
    return outcome(
        downloaded,
        u"cannot download %1: the server has no such file, or it is empty"_s.arg(quoted(remote)));
}

FtpOperations::Result FtpOperations::ren(const QStringList &arguments)
{
    return outcome(
        m_client.RenameFTPFile(arguments.at(0), arguments.at(1)),
        u"cannot rename %1 to %2"_s.arg(quoted(arguments.at(0)), quoted(arguments.at(1))));
}

FtpOperations::Result FtpOperations::del(const QStringList &arguments)
{
    return outcome(m_client.DeleteFTPFile(arguments.at(0)),
                   u"cannot delete %1"_s.arg(quoted(arguments.at(0))));
}

FtpOperations::Result FtpOperations::mkdir(const QStringList &arguments)
{
    return outcome(m_client.CreateFTPDirectory(arguments.at(0)),
                   u"cannot create the server folder %1"_s.arg(quoted(arguments.at(0))));
}

FtpOperations::Result FtpOperations::rmdir(const QStringList &arguments)
{
    return outcome(m_client.RemoveFTPDirectory(arguments.at(0)),
                   u"cannot remove the server folder %1"_s.arg(quoted(arguments.at(0))));
}

FtpOperations::Result FtpOperations::size(const QStringList &arguments)
{
    // -1: nothing of that name; -2: the look-up failed.
    const qint64 bytes = m_client.exactFileSize(arguments.at(0));
    if (bytes == -1)
        return u"no server file %1"_s.arg(quoted(arguments.at(0)));
    if (bytes != -2)
        m_out << quint32(ListingRecord::fileSize(bytes)) << '\n';
    return outcome(bytes != -2, u"cannot read the size of %1"_s.arg(quoted(arguments.at(0))));
}
