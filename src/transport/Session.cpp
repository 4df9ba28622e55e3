#include "Session.h"

#include "DataConnection.h"
#include "InternetError.h"
#include "ListingLimit.h"
#include "ListingStream.h"
#include "NameCodec.h"
#include "ServerAddress.h"
#include "TlsStream.h"
#include "Wildcard.h"

#include "platform/ReplacingFile.h"

#include <QDateTime>
#include <QFile>

namespace Ftp {

namespace {

// PWD's answer: 257 "/a ""quoted"" folder" is created.
QString quotedPath(const QString &text)
{
    const qsizetype open = text.indexOf(u'"');
    if (open < 0)
        return text.mid(4).trimmed();
    QString path;
    for (qsizetype i = open + 1; i < text.size(); ++i) {
        if (text[i] == u'"') {
            if (i + 1 < text.size() && text[i + 1] == u'"') {
                path += u'"';
                ++i;
                continue;
            }
            break;
        }
        path += text[i];
    }
    return path;
}

constexpr qsizetype FileChunk = 256 * 1024;

// A listing longer than this comes from a server that never ends it: a listing of as many
// entries as a folder may hold is far shorter.
constexpr qsizetype MaxListingLength = 256 * 1024 * 1024;

} // namespace

Session::Session() = default;

QString Session::joined(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

Session::~Session()
{
    close();
}

bool Session::connect(const QString &server, const QString &user, const QString &password)
{
    close();
    m_lost = false;
    if (!checkArgument(server) || !checkArgument(user) || !checkArgument(password))
        return false;
    const auto address = ServerAddress::parse(server);
    if (!address)
        return fail(InternetError::NameNotResolved);
    if (!m_control.open(address->host, address->port, m_timeouts))
        return fail(m_control.error());

    // The greeting: 120 asks us to wait for the 220.
    std::optional<Reply> greeting;
    do {
        greeting = m_control.readReply(m_timeouts.reply);
        if (!greeting)
            return lose(m_control.error());
        m_lastResponse = greeting->text;
    } while (greeting->isPreliminary());
    if (!greeting->isPositive()) {
        refuse(*greeting);
        m_control.close();
        return false;
    }

    if (!secureControl(address->host, address->port)) {
        m_control.close();
        return false;
    }

    m_passive = m_passiveRequested;
    m_hasMlsd = m_hasMlst = m_noEpsv = m_noSize = m_noMdtm = false;
    m_hashCommand.reset();
    m_rawNames.clear();
    m_type.reset();
    m_currentDirectory.reset();
    m_account = user + u'@' + server;
    if (!login(user, password)) {
        m_control.close();
        return false;
    }
    readFeatures();
    discardLeftBehind();
    return true;
}

void Session::discardLeftBehind()
{
    for (const QString &path : m_leftBehind.takeFor(m_account))
        discardAfterFailure(path);
}

bool Session::secureControl(const QString &host, quint16 port)
{
    if (m_tlsMode == TlsMode::Off)
        return true;
    // Asking is as cheap as reading FEAT first, and also finds servers that do not list it.
    const auto reply = command("AUTH", QStringLiteral("TLS"));
    if (!reply)
        return false;
    if (reply->code != 234) {
        const QString refusal =
            m_tlsMode == TlsMode::Require
                ? QStringLiteral("The server offers no TLS (%1), which is required: the login is "
                                 "refused.")
                      .arg(reply->text)
                : (m_downgradeCheck ? m_downgradeCheck(host, port) : QString());
        if (refusal.isEmpty())
            return true;
        m_lastResponse = refusal;
        return fail(InternetError::ExtendedError);
    }
    m_peerName = host;
    if (!m_control.startTls(host, QSslConfiguration::defaultConfiguration()))
        return failTls(m_control.error(), m_control.socket().tlsErrorText());
    if (const QString refusal = certificateRefusal(host, port); !refusal.isEmpty())
        return failTls(InternetError::SecureChannelError, refusal);
    // Data connections are protected too; no buffer size applies to TLS.
    return simpleCommand("PBSZ", QStringLiteral("0")) && simpleCommand("PROT", QStringLiteral("P"));
}

QString Session::certificateRefusal(const QString &host, quint16 port) const
{
    const TlsStream *tls = m_control.socket().tls();
    if (m_certificateCheck)
        return m_certificateCheck(host, port, tls->peerCertificate(), tls->handshakeErrors());
    QStringList problems;
    for (const QSslError &error : tls->handshakeErrors())
        problems << error.errorString();
    return problems.join(QStringLiteral("; "));
}

bool Session::secureData(Socket &data)
{
    const TlsStream *control = m_control.socket().tls();
    if (data.startTls(m_peerName, control->configuration(), m_timeouts.data)) {
        // A resumed session shows no certificate; a new one must show the control's.
        const QSslCertificate certificate = data.tls()->peerCertificate();
        if (certificate.isNull() || certificate == control->peerCertificate())
            return true;
        data.close();
        transferEnded(false);
        return failTls(InternetError::SecureChannelError,
                       QStringLiteral("The data connection shows another certificate than the "
                                      "control connection."));
    }
    const quint32 code = data.error();
    const QString text = data.tlsErrorText();
    if (code != InternetError::OperationCancelled)
        transferEnded(false); // the server's answer to the failed data connection
    return failTls(code, text);
}

bool Session::failTls(quint32 code, const QString &text)
{
    if (!text.isEmpty())
        m_lastResponse = text;
    return failData(code);
}

bool Session::isEncrypted() const
{
    return m_control.isOpen() && m_control.socket().tls();
}

QString Session::tlsDescription() const
{
    return isEncrypted() ? m_control.socket().tls()->description() : QString();
}

QSslCertificate Session::serverCertificate() const
{
    return isEncrypted() ? m_control.socket().tls()->peerCertificate() : QSslCertificate();
}

bool Session::login(const QString &user, const QString &password)
{
    auto reply = command("USER", user);
    if (!reply)
        return false;
    if (reply->isIntermediate()) {
        reply = command("PASS", password);
        if (!reply)
            return false;
    }
    // An account (332) is something this client has no value for.
    if (!reply->isPositive())
        return refuse(*reply);
    return true;
}

void Session::readFeatures()
{
    const auto reply = command("FEAT");
    if (!reply || !reply->isPositive())
        return;
    bool utf8 = false;
    const QStringList lines = reply->text.split(QStringLiteral("\r\n")).mid(1);
    m_hashCommand = HashCommand::fromFeatures(lines);
    for (const QString &line : lines) {
        const QString feature = line.trimmed().section(u' ', 0, 0).toUpper();
        if (feature == u"MLST")
            m_hasMlsd = m_hasMlst = true;
        else if (feature == u"UTF8")
            utf8 = true;
    }
    // Names travel as UTF-8 either way; servers that offer it want to be told.
    if (utf8)
        command("OPTS", QStringLiteral("UTF8 ON"));
}

void Session::close()
{
    if (m_transfer) {
        m_transfer->detach();
        m_transfer = nullptr;
    }
    if (m_control.isOpen() && !m_lost)
        m_control.send("QUIT"); // a courtesy: nothing waits for the answer
    m_control.close();
}

bool Session::isConnected() const
{
    return m_control.isOpen();
}

std::optional<QString> Session::currentDirectory()
{
    if (m_currentDirectory && ready())
        return m_currentDirectory;
    const auto reply = command("PWD");
    if (!reply)
        return std::nullopt;
    if (reply->code != 257) {
        refuse(*reply);
        return std::nullopt;
    }
    m_currentDirectory = quotedPath(reply->text.section(QStringLiteral("\r\n"), 0, 0));
    return m_currentDirectory;
}

bool Session::setCurrentDirectory(const QString &directory)
{
    m_currentDirectory.reset();
    return simpleCommand("CWD", directory);
}

bool Session::createDirectory(const QString &directory)
{
    return simpleCommand("MKD", directory);
}

bool Session::removeDirectory(const QString &directory)
{
    return simpleCommand("RMD", directory);
}

bool Session::deleteFile(const QString &name)
{
    return simpleCommand("DELE", name);
}

void Session::discardAfterFailure(const QString &name)
{
    if (!isConnected()) {
        // Only a path the server's folder makes whole can be found again by the next session.
        const QString path =
            name.startsWith(u'/') || !m_currentDirectory ? name : joined(*m_currentDirectory, name);
        if (path.startsWith(u'/'))
            m_leftBehind.note(m_account, path);
        return;
    }
    const quint32 error = m_lastError;
    const QString response = m_lastResponse;
    deleteFile(name);
    m_lastError = error;
    m_lastResponse = response;
}

bool Session::rename(const QString &from, const QString &to)
{
    if (!checkArgument(to))
        return false;
    return simpleCommand("RNFR", from, 3) && simpleCommand("RNTO", to);
}

std::optional<qint64> Session::fileSize(const QString &name)
{
    if (m_noSize) {
        // Told as a refusal, which callers take as a server without SIZE.
        fail(InternetError::ExtendedError);
        return std::nullopt;
    }
    if (!setType(TransferType::Binary))
        return std::nullopt;
    const auto reply = command("SIZE", name);
    if (!reply)
        return std::nullopt;
    m_noSize = reply->isUnknownCommand();
    bool ok = false;
    const qint64 size = reply->text.mid(4).section(u'\r', 0, 0).trimmed().toLongLong(&ok);
    if (reply->code != 213 || !ok) {
        refuse(*reply);
        return std::nullopt;
    }
    return size;
}

std::optional<qint64> Session::exactFileSize(const QString &name)
{
    if (std::optional<qint64> size = fileSize(name); size || !m_noSize)
        return size;
    // SIZE is an extension that not every server offers: the file's entry tells the size.
    const auto [folder, file] = Wildcard::split(name);
    const std::optional<Entry> entry = lookUp(folder, file);
    if (!entry || entry->isDirectory)
        return std::nullopt;
    return entry->size;
}

std::optional<QDateTime> Session::modificationTime(const QString &name)
{
    if (m_noMdtm)
        return std::nullopt;
    const auto reply = command("MDTM", name);
    if (!reply)
        return std::nullopt;
    m_noMdtm = reply->isUnknownCommand();
    const std::optional<QDateTime> time =
        reply->code == 213
            ? ListingParser::parseTimeValue(reply->text.mid(4).section(u'\r', 0, 0).toLatin1())
            : std::nullopt;
    if (!time)
        refuse(*reply);
    return time;
}

std::optional<int> Session::fileMode(const QString &name)
{
    if (m_noStat || Wildcard::hasWildcards(name) || name.contains(u'['))
        return std::nullopt;
    const auto reply = command("STAT", name);
    if (!reply)
        return std::nullopt;
    m_noStat = reply->isUnknownCommand();
    if (!reply->isPositive())
        return std::nullopt;
    // The listing stands between the reply's first and last lines, each line perhaps led by
    // the reply's code or a blank.
    const QString wanted = name.section(u'/', -1);
    const QStringList lines = reply->text.split(QStringLiteral("\r\n"));
    for (qsizetype index = 1; index + 1 < lines.size(); ++index) {
        QStringView line = lines[index];
        if (line.size() > 4 && line.at(3) == u'-' && line.left(3).toInt() == reply->code)
            line = line.mid(4);
        while (line.startsWith(u' '))
            line = line.mid(1);
        const QByteArray bytes = line.toUtf8();
        const std::optional<Entry> entry =
            ListingParser::parseListLine(bytes, QDateTime::currentDateTimeUtc());
        if (entry && entry->name == wanted && !entry->isDirectory && !entry->isSymlink)
            return ListingParser::parseUnixMode(bytes);
    }
    return std::nullopt;
}

bool Session::setFileMode(const QString &name, int mode)
{
    const QString octal = QString::number(mode, 8).rightJustified(4, u'0');
    return simpleCommand("SITE", QStringLiteral("CHMOD %1 %2").arg(octal, name));
}

std::optional<Session::FileDigest> Session::fileHash(const QString &name)
{
    if (!m_hashCommand)
        return std::nullopt;
    // HASH computes what the server has selected; the strongest offered is selected once.
    if (const QString selection = m_hashCommand->selection(); !selection.isEmpty()) {
        if (!simpleCommand("OPTS", selection)) {
            m_hashCommand.reset();
            return std::nullopt;
        }
        m_hashCommand->markSelected();
    }
    const auto reply = command(m_hashCommand->verb(), name);
    if (!reply)
        return std::nullopt;
    const QByteArray hex =
        reply->isPositive() ? m_hashCommand->digestIn(reply->text) : QByteArray();
    if (hex.isEmpty()) {
        if (reply->isUnknownCommand())
            m_hashCommand.reset();
        refuse(*reply);
        return std::nullopt;
    }
    return FileDigest{m_hashCommand->algorithm(), hex};
}

bool Session::find(const QString &filter, QList<Entry> *entries)
{
    entries->clear();
    return find(filter, [entries](Entry &&entry) { entries->append(std::move(entry)); });
}

bool Session::find(const QString &filter, const std::function<void(Entry &&entry)> &take)
{
    if (!ready() || !checkArgument(filter))
        return false;
    auto [folder, pattern] = Wildcard::split(filter);
    if (pattern.isEmpty())
        pattern = QStringLiteral("*");

    qsizetype found = 0;
    if (Wildcard::hasWildcards(pattern)) {
        const bool listed = readListing(folder, [&](Entry &&entry) {
            if (Wildcard::matches(pattern, entry.name)) {
                ++found;
                take(std::move(entry));
            }
        });
        if (!listed)
            return false;
    } else {
        // One name: a file gives its own entry, a folder the entries inside it.
        auto entry = lookUp(folder, pattern);
        if (!entry) {
            if (m_lastError != InternetError::NoMoreFiles)
                return false;
        } else if (entry->isDirectory) {
            const bool listed = readListing(joined(folder, pattern), [&](Entry &&inside) {
                ++found;
                take(std::move(inside));
            });
            if (!listed)
                return false;
        } else {
            ++found;
            take(std::move(*entry));
        }
    }
    if (found == 0)
        return fail(InternetError::NoMoreFiles);
    return true;
}

std::optional<Entry> Session::lookUp(const QString &folder, const QString &name)
{
    if (m_hasMlst) {
        // MLST answers on the control connection: no data connection, no folder listing.
        const auto reply = command("MLST", joined(folder, name));
        if (!reply)
            return std::nullopt;
        if (reply->isUnknownCommand()) {
            // Offered, but not known after all: the folder's listing tells, from now on.
            m_hasMlst = false;
            return lookUp(folder, name);
        }
        if (reply->code != 250) {
            refuse(*reply);
            fail(InternetError::NoMoreFiles);
            return std::nullopt;
        }
        const QStringList lines = reply->text.split(QStringLiteral("\r\n"));
        if (lines.size() >= 3) {
            // The fact line starts with one blank; the name may end in blanks of its own.
            const QString facts = lines[1].startsWith(u' ') ? lines[1].mid(1) : lines[1];
            if (auto entry = ListingParser::parseMlsdLine(facts.toUtf8())) {
                entry->name = name;
                return entry;
            }
        }
        // Some servers describe a folder as the current one (type=cdir): the listing of its
        // parent says what it is.
    }
    std::optional<Entry> named;
    const bool listed = readListing(folder, [&](Entry &&entry) {
        if (!named && entry.name == name)
            named = std::move(entry);
    });
    if (!listed)
        return std::nullopt;
    if (!named)
        fail(InternetError::NoMoreFiles);
    return named;
}

bool Session::readListing(const QString &folder, const std::function<void(Entry &&entry)> &take)
{
    const bool mlsd = m_hasMlsd;
    bool unknown = false;
    auto data = openData(mlsd ? "MLSD" : "LIST", folder, &unknown);
    if (!data && mlsd && unknown) {
        // Offered, but not known after all: LIST, from now on.
        m_hasMlsd = false;
        return readListing(folder, take);
    }
    if (!data)
        return false;
    // The listing's data is waited for as its command's reply is: a stop ends the wait, and
    // the session with it.
    data->setWaitWatch(m_control.socket().waitWatch());
    int count = 0;
    ListingStream stream(mlsd ? ListingParser::Format::Mlsd : ListingParser::Format::List,
                         QDateTime::currentDateTimeUtc(), [&](Entry &&entry) {
                             if (++count > ListingLimit::MaxEntries)
                                 return false;
                             if (!entry.rawName.isEmpty())
                                 m_rawNames.remember(entry.rawName);
                             take(std::move(entry));
                             return true;
                         });
    qsizetype length = 0;
    char chunk[64 * 1024];
    for (;;) {
        const qsizetype received = data->receive(chunk, sizeof chunk, m_timeouts.data);
        if (received < 0) {
            failData(data->error());
            data->close();
            if (!m_lost)
                transferEnded(false);
            return false;
        }
        if (received == 0)
            break;
        length += received;
        if (length > MaxListingLength) {
            // A server that never ends its listing, and whose next reply is not worth
            // waiting for.
            data->close();
            return lose(InternetError::InvalidServerResponse);
        }
        if (!stream.feed(QByteArrayView(chunk, received))) {
            // The rest of the listing is not read: the server ends the transfer early.
            data->close();
            transferEnded(false);
            return fail(InternetError::TooManyEntries);
        }
    }
    data->close();
    if (!transferEnded(true))
        return false;
    if (!stream.finish())
        return fail(InternetError::TooManyEntries);
    return true;
}

std::unique_ptr<FileTransfer> Session::openFile(const QString &remote,
                                                FileTransfer::Direction direction,
                                                TransferType type, qint64 offset)
{
    if (!ready() || !checkArgument(remote) || !setType(type))
        return nullptr;
    const bool reading = direction == FileTransfer::Direction::Read;
    auto data = openData(reading ? "RETR" : "STOR", remote, nullptr, offset);
    if (!data)
        return nullptr;
    auto transfer = std::make_unique<FileTransfer>(*this, std::move(*data), direction);
    m_transfer = transfer.get();
    return transfer;
}

bool Session::putFile(const QString &localPath, const QString &remote, TransferType type)
{
    QFile local(localPath);
    if (!local.open(QIODevice::ReadOnly))
        return fail(InternetError::FileNotFound);
    auto transfer = openFile(remote, FileTransfer::Direction::Write, type);
    if (!transfer)
        return false;
    QByteArray chunk(FileChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 read = local.read(chunk.data(), chunk.size());
        if (read < 0) {
            transfer->abort();
            return fail(InternetError::InternalError);
        }
        if (read == 0)
            break;
        if (!transfer->write(chunk.constData(), read))
            return false;
    }
    return transfer->finish();
}

bool Session::getFile(const QString &remote, const QString &localPath, TransferType type)
{
    auto transfer = openFile(remote, FileTransfer::Direction::Read, type);
    if (!transfer)
        return false;
    // A new file beside the old one takes its name once whole: a failed download leaves the old
    // file, and a link of that name is replaced rather than written through.
    Platform::ReplacingFile local(localPath);
    if (!local.open(QIODevice::WriteOnly)) {
        transfer->abort();
        return fail(InternetError::FileNotFound);
    }
    QByteArray chunk(FileChunk, Qt::Uninitialized);
    bool ok = true;
    for (;;) {
        const qsizetype read = transfer->read(chunk.data(), chunk.size());
        if (read < 0 || (read > 0 && local.write(chunk.constData(), read) != read)) {
            ok = false;
            break;
        }
        if (read < chunk.size())
            break;
    }
    ok = ok && local.flush() && transfer->finish() && local.commit();
    if (!ok)
        transfer->abort();
    return ok;
}

bool Session::fail(quint32 code)
{
    m_lastError = code;
    return false;
}

bool Session::lose(quint32 code)
{
    // After a timeout or a broken connection the next reply could belong to any command:
    // the session is over.
    m_lost = true;
    if (m_transfer) {
        m_transfer->detach();
        m_transfer = nullptr;
    }
    m_control.close();
    return fail(code);
}

bool Session::failData(quint32 code)
{
    return code == InternetError::OperationCancelled ? lose(code) : fail(code);
}

bool Session::refuse(const Reply &reply)
{
    m_lastResponse = reply.text;
    if (reply.code == 421) // the server is closing the session
        lose(InternetError::ExtendedError);
    return fail(InternetError::ExtendedError);
}

bool Session::ready()
{
    if (m_transfer)
        return fail(InternetError::FtpTransferInProgress);
    if (!m_control.isOpen())
        return fail(m_lost ? InternetError::FtpDropped : InternetError::IncorrectHandleState);
    return true;
}

bool Session::checkArgument(const QString &argument)
{
    // Anything after a line break would reach the server as a command of its own.
    if (argument.contains(u'\r') || argument.contains(u'\n') || argument.contains(QChar(0)))
        return fail(InternetError::InvalidParameter);
    return true;
}

std::optional<Reply> Session::command(const QByteArray &verb, const QString &argument)
{
    if (!ready() || !checkArgument(argument))
        return std::nullopt;
    if (!m_control.send(verb, argument.isNull() ? QByteArray() : wireArgument(verb, argument))) {
        lose(m_control.error());
        return std::nullopt;
    }
    return awaitReply();
}

QByteArray Session::wireArgument(const QByteArray &verb, const QString &argument) const
{
    static const QByteArrayList pathVerbs{"CWD",  "MKD",  "RMD",  "DELE", "RNFR", "RNTO", "SIZE",
                                          "RETR", "STOR", "APPE", "MLSD", "LIST", "MLST"};
    return pathVerbs.contains(verb) ? m_rawNames.encode(argument) : NameCodec::encode(argument);
}

std::optional<Reply> Session::awaitReply()
{
    auto reply = m_control.readReply(m_timeouts.reply);
    if (!reply) {
        lose(m_control.error());
        return std::nullopt;
    }
    m_lastResponse = reply->text;
    return reply;
}

bool Session::simpleCommand(const QByteArray &verb, const QString &argument, int expectedKind)
{
    const auto reply = command(verb, argument);
    if (!reply)
        return false;
    if (reply->kind() != expectedKind)
        return refuse(*reply);
    return true;
}

bool Session::setType(TransferType type)
{
    if (m_type == type)
        return ready();
    if (!simpleCommand("TYPE",
                       type == TransferType::Binary ? QStringLiteral("I") : QStringLiteral("A")))
        return false;
    m_type = type;
    return true;
}

std::optional<Socket> Session::openData(const QByteArray &verb, const QString &argument,
                                        bool *verbUnknown, qint64 restart)
{
    bool retryPassive = false;
    bool unknown = false;
    auto data = tryOpenData(verb, argument, restart, &retryPassive, &unknown);
    if (!data && retryPassive && !m_passive) {
        // The server cannot reach us (a firewall or NAT in between): from now on it is the
        // one that listens.
        m_passive = true;
        data = tryOpenData(verb, argument, restart, &retryPassive, &unknown);
    }
    if (verbUnknown)
        *verbUnknown = unknown;
    return data;
}

std::optional<Socket> Session::tryOpenData(QByteArray verb, const QString &argument, qint64 restart,
                                           bool *retryPassive, bool *verbUnknown)
{
    *retryPassive = false;
    *verbUnknown = false;
    if (!ready() || !checkArgument(argument))
        return std::nullopt;
    const QHostAddress peer = m_control.socket().peerAddress();
    Socket data;
    ListeningSocket listener;
    if (m_passive) {
        std::optional<quint16> port;
        if (!m_noEpsv) {
            const auto reply = command("EPSV");
            if (!reply)
                return std::nullopt;
            if (reply->code == 229)
                port = DataConnection::parseEpsvReply(reply->text);
            else
                m_noEpsv = true;
        }
        if (!port) {
            if (peer.protocol() != QAbstractSocket::IPv4Protocol) {
                fail(InternetError::ExtendedError);
                return std::nullopt;
            }
            const auto reply = command("PASV");
            if (!reply)
                return std::nullopt;
            if (reply->code == 227)
                port = DataConnection::parsePasvReply(reply->text);
            if (!port) {
                refuse(*reply);
                return std::nullopt;
            }
        }
        if (!data.connectToAddress(peer, *port, m_timeouts.connect)) {
            failData(data.error());
            return std::nullopt;
        }
    } else {
        const QHostAddress local = m_control.socket().localAddress();
        if (!listener.listen(local)) {
            fail(listener.error());
            return std::nullopt;
        }
        const bool v4 = local.protocol() == QAbstractSocket::IPv4Protocol;
        const auto reply =
            v4 ? command("PORT",
                         QString::fromLatin1(DataConnection::portArgument(local, listener.port())))
               : command("EPRT",
                         QString::fromLatin1(DataConnection::eprtArgument(local, listener.port())));
        if (!reply)
            return std::nullopt;
        if (!reply->isPositive()) {
            *retryPassive = true;
            refuse(*reply);
            return std::nullopt;
        }
    }

    // The restart marker goes right before the transfer it is for.
    if (restart > 0 && !restartAt(restart, &verb))
        return std::nullopt;
    auto reply = command(verb, argument);
    if (!reply)
        return std::nullopt;
    if (!reply->isPreliminary()) {
        *retryPassive = reply->code == 425;
        *verbUnknown = reply->isUnknownCommand();
        refuse(*reply);
        return std::nullopt;
    }
    if (!m_passive) {
        data = listener.accept(peer, m_timeouts.data);
        if (listener.error() == InternetError::OperationCancelled) {
            failData(listener.error());
            return std::nullopt;
        }
        if (!data.isOpen()) {
            // The server could not reach us; its refusal follows on the control connection.
            const auto refusal = awaitReply();
            if (!refusal)
                return std::nullopt;
            *retryPassive = refusal->isRefusal();
            refuse(*refusal);
            return std::nullopt;
        }
    }
    if (isEncrypted() && !secureData(data))
        return std::nullopt;
    return data;
}

bool Session::restartAt(qint64 offset, QByteArray *verb)
{
    const bool upload = *verb == "STOR";
    if (!upload || !m_noRest) {
        const auto reply = command("REST", QString::number(offset));
        if (!reply)
            return false;
        if (reply->code == 350)
            return true;
        if (!upload || !reply->isUnknownCommand())
            return refuse(*reply);
        m_noRest = true;
    }
    // The server's file holds the first `offset` bytes already: appending continues it.
    *verb = "APPE";
    return true;
}

void Session::transferCancelled()
{
    // A server answers a closed data connection at once. One that does not is slow or stalled,
    // and may never: the user who cancelled does not wait for it.
    constexpr std::chrono::milliseconds AnswerWait{250};
    if (!m_control.replyPending(AnswerWait)) {
        lose(InternetError::OperationCancelled);
        return;
    }
    transferEnded(false);
}

bool Session::transferEnded(bool complete)
{
    // Only the server's 226 (or 250) says that every byte arrived.
    for (;;) {
        const auto reply = awaitReply();
        if (!reply)
            return false;
        if (reply->isPreliminary())
            continue;
        if (reply->isPositive() && complete)
            return true;
        if (!reply->isPositive())
            refuse(*reply);
        else
            fail(InternetError::OperationCancelled);
        return false;
    }
}

} // namespace Ftp
