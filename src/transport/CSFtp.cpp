#include "transport/CSFtp.h"

#include "platform/AutomationDate.h"
#include "transport/ListingRecord.h"
#include "transport/NameCodec.h"
#include "transport/SecureCommand.h"
#include "transport/SecureLibraryKey.h"
#include "transport/cDirList.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>
#include <QStringTokenizer>
#include <QTimeZone>

#include <cstdlib>

namespace {

constexpr double SecondsPerDay = 86400.0;

QByteArray toLibrary(const QString &text)
{
    return Ftp::NameCodec::encode(text);
}

// Line by line: a listing may hold names in either encoding.
QString fromLibrary(QByteArrayView text)
{
    return Ftp::NameCodec::decodeLines(text);
}

// A fixed-size reply buffer of a call, and its text up to the first NUL.
class ReplyBuffer
{
public:
    explicit ReplyBuffer(int size)
        : m_bytes(size, '\0')
    {}
    char *data() { return m_bytes.data(); }
    QString text() const
    {
        return fromLibrary(
            QByteArrayView(m_bytes.constData(), qstrnlen(m_bytes.constData(), m_bytes.size())));
    }

private:
    QByteArray m_bytes;
};

std::function<bool()> &statusWatch()
{
    static std::function<bool()> watch;
    return watch;
}

} // namespace

CSFtp::CSFtp() = default;

CSFtp::~CSFtp()
{
    if (m_library)
        m_library->FtpExit();
}

const SecureLibrary *CSFtp::library()
{
    if (!m_library) {
        m_library = SecureLibrary::load();
        if (m_library)
            m_library->FtpInit(SecureLibraryKey::key().constData());
    }
    return m_library;
}

bool CSFtp::SFtpCmd(const QString &sCommand, QString &sReply)
{
    return runCommand(sReply, [&](const SecureLibrary &secure, char **reply, std::size_t *size) {
        return secure.FtpCmdEx(toLibrary(sCommand).constData(), reply, size);
    });
}

bool CSFtp::SFtpTransfer(const QString &sCommand, QString &sReply, TransferProgress progress)
{
    const HvspProgressCallback told = [](void *user, long long done, long long total) {
        return (*static_cast<TransferProgress *>(user))(done, total) ? 1 : 0;
    };
    return runCommand(sReply, [&](const SecureLibrary &secure, char **reply, std::size_t *size) {
        return secure.FtpCmdProgress(toLibrary(sCommand).constData(), reply, size,
                                     progress ? told : nullptr, &progress);
    });
}

bool CSFtp::runCommand(
    QString &sReply,
    const std::function<int(const SecureLibrary &, char **reply, std::size_t *size)> &call)
{
    if (m_beforeCommand)
        m_beforeCommand();
    const SecureLibrary *secure = library();
    if (!secure)
        return false;
    // The library enlarges the buffer to hold whatever it answers.
    char *reply = nullptr;
    std::size_t size = 0;
    const bool done = call(*secure, &reply, &size) != 0;
    sReply = reply ? fromLibrary(QByteArrayView(reply, qstrnlen(reply, size))) : QString();
    std::free(reply);
    return done;
}

bool CSFtp::SFtpDir(const QString &sPath, QString &sOutput)
{
    const SecureLibrary *secure = library();
    if (!secure)
        return false;
    ReplyBuffer output(HVSP_LISTING_SIZE);
    const bool done = secure->FtpDir(toLibrary(sPath).constData(), output.data()) != 0;
    sOutput = output.text();
    return done;
}

bool CSFtp::SFtpPwd(QString &sOutput)
{
    const SecureLibrary *secure = library();
    if (!secure)
        return false;
    ReplyBuffer output(HVSP_PWD_SIZE);
    const bool done = secure->FtpPwd(output.data()) != 0;
    sOutput = output.text();
    return done;
}

bool CSFtp::SFtpConnect(const QString &sUser, const QString &sPassword, const QString &sServer,
                        QString &sReply, HvspStatusCallback callback)
{
    const SecureLibrary *secure = library();
    if (!secure)
        return false;
    // The library keeps one timeout for the whole process and reads it as the session opens.
    secure->FtpSetTimeout(int(m_timeout.count()));
    ReplyBuffer reply(HVSP_REPLY_SIZE);
    const int result =
        secure->FtpConnect(toLibrary(sUser).constData(), toLibrary(sPassword).constData(),
                           toLibrary(sServer).constData(), reply.data(), callback);
    sReply = reply.text();
    return result == 1;
}

bool CSFtp::SFtpClose(QString &sReply)
{
    const SecureLibrary *secure = library();
    if (!secure)
        return false;
    ReplyBuffer reply(HVSP_REPLY_SIZE);
    const bool done = secure->FtpClose(reply.data()) != 0;
    sReply = reply.text();
    return done;
}

void CSFtp::ParseSecureListing(const QString &sReply, cDirList &list)
{
    list.Clear();
    ParseSecureListing(sReply, [&list](Ftp::Entry &&entry) {
        const double date = UnixTimeToLocal(qint32(entry.modified.toSecsSinceEpoch()));
        list.Add(entry.isDirectory ? ListingRecord::DirectoryAttributes
                                   : ListingRecord::NormalAttributes,
                 date, date, date, ListingRecord::fileSize(entry.size), entry.name);
    });
}

void CSFtp::ParseSecureListing(const QString &sReply,
                               const std::function<void(Ftp::Entry &&entry)> &take)
{
    // Line by line, without a copy of the lines: a listing may be long.
    const QString text = SecureCommand::upToNul(sReply);
    for (const QStringView lineText : qTokenize(text, u"\r\n")) {
        std::optional<SecureCommand::ListingLine> line = SecureCommand::listingLine(lineText);
        if (!line)
            return;
        // A line without a name names nothing the windows could act on.
        if (line->name.isEmpty() || line->name == QLatin1String(".") ||
            line->name == QLatin1String(".."))
            continue;
        Ftp::Entry entry;
        entry.name = std::move(line->name);
        entry.size = line->size;
        entry.modified = QDateTime::fromSecsSinceEpoch(line->seconds, Qt::UTC);
        entry.isDirectory = line->folder;
        take(std::move(entry));
    }
}

namespace {

// The offset the zone has today without daylight saving, whatever the date.
int standardOffset()
{
    return QTimeZone::systemTimeZone().standardTimeOffset(QDateTime::currentDateTimeUtc());
}

} // namespace

double CSFtp::UnixTimeToLocal(qint32 seconds)
{
    return Platform::AutomationDate::UnixEpoch +
           (double(seconds) + standardOffset()) / SecondsPerDay;
}

bool CSFtp::SessionIsOpen()
{
    const SecureLibrary *secure = SecureLibrary::load();
    ReplyBuffer folder(HVSP_PWD_SIZE);
    return secure && secure->FtpPwd(folder.data()) != 0;
}

QString CSFtp::StatusText()
{
    const SecureLibrary *secure = SecureLibrary::load();
    if (!secure)
        return QStringLiteral("The secure library HVSPFTPUTILS cannot be loaded.");
    ReplyBuffer buffer(HVSP_STATUS_SIZE);
    secure->FtpGetStatus(buffer.data());
    return buffer.text();
}

QString CSFtp::NewHostKeyText()
{
    const QStringList lines = StatusText().split(QLatin1String("\r\n"));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("New host key ")))
            return line;
    }
    return {};
}

int SecureStatusCallback()
{
    const std::function<bool()> &watch = statusWatch();
    return !watch || watch() ? 1 : 0;
}

void setSecureStatusWatch(std::function<bool()> goesOn)
{
    statusWatch() = std::move(goesOn);
}
