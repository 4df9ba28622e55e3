#pragma once

#include "transport/Entry.h"
#include "transport/SecureLibrary.h"
#include "transport/Timeouts.h"

#include <QString>

#include <chrono>
#include <functional>

class cDirList;

// The secure channel of the FTP client: a thin layer over the secure FTP library, which keeps
// the secure session itself and talks in command texts and reply texts. Every method reports
// only success or failure; the reply text is its last argument. While the library cannot be
// loaded every method fails.
class CSFtp
{
public:
    CSFtp();
    ~CSFtp();
    CSFtp(const CSFtp &) = delete;
    CSFtp &operator=(const CSFtp &) = delete;

    // Runs before every command (the control clears its stop flag there, which the web space
    // window watches).
    void setBeforeCommand(std::function<void()> beforeCommand)
    {
        m_beforeCommand = std::move(beforeCommand);
    }

    // How long the library waits for the server at each step of the next connect and of every
    // command after it.
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // Sends one command, after the before-command hook. The reply comes back whole, however
    // long: a listing holds every entry.
    bool SFtpCmd(const QString &sCommand, QString &sReply);
    // Told how far a transfer has come (bytes done, of the whole) after every block and while
    // the server is waited for; false cancels the transfer.
    using TransferProgress = std::function<bool(qint64 done, qint64 total)>;
    // Sends one command as SFtpCmd does; a put or get moves its file in blocks and tells
    // `progress` of each, the first time with where it starts. A cancelled transfer fails and
    // leaves its target as it was (a large file's partial stays for a later "-c").
    bool SFtpTransfer(const QString &sCommand, QString &sReply, TransferProgress progress);
    bool SFtpDir(const QString &sPath, QString &sOutput);
    bool SFtpPwd(QString &sOutput);
    // Opens the library's session; true only when the library answers exactly 1. The library
    // calls `callback` while it connects; 0 from it stops the connect.
    bool SFtpConnect(const QString &sUser, const QString &sPassword, const QString &sServer,
                     QString &sReply, HvspStatusCallback callback);
    bool SFtpClose(QString &sReply);

    // Fills the list from a listing reply: lines separated by CR LF, each "name|size|seconds
    // since 1970 UTC|type" with a type beginning with "d" for a folder. "." and "..", and a
    // line without a name, give nothing; the first malformed line ends the listing, keeping
    // the entries before it.
    static void ParseSecureListing(const QString &sReply, cDirList &list);
    // The same entries, each handed to `take` with its time in UTC.
    static void ParseSecureListing(const QString &sReply,
                                   const std::function<void(Ftp::Entry &&entry)> &take);
    // Seconds since 1 January 1970 UTC as a local date, shifted by the zone's standard offset
    // only (no daylight saving).
    static double UnixTimeToLocal(qint32 seconds);

    // Whether the library holds an open session: after a failure, false tells that the
    // connection was lost (the library lets such a session go).
    static bool SessionIsOpen();
    // The library's status text: what it is doing, or why the last connect failed (or that
    // the library cannot be loaded). For front ends that show the reason of a failure.
    static QString StatusText();
    // The line of the status text that tells of the last connect meeting the server's host key
    // for the first time and recording it, with its fingerprint; empty when the key was known.
    static QString NewHostKeyText();

private:
    // The library, loaded and initialised with this channel's first call; nullptr while it
    // cannot be loaded.
    const SecureLibrary *library();
    // Runs a command through `call` of the library, handing it a reply buffer from malloc()
    // that the library enlarges, after the before-command hook.
    bool runCommand(
        QString &sReply,
        const std::function<int(const SecureLibrary &, char **reply, std::size_t *size)> &call);

    const SecureLibrary *m_library = nullptr;
    std::function<void()> m_beforeCommand;
    std::chrono::milliseconds m_timeout = Ftp::Timeouts{}.reply;
};

// The status callback handed to the library when the client connects: asks the watch whether
// the connect may go on. Returns 1 to go on, 0 to stop; 1 without a watch.
int SecureStatusCallback();
// The watch SecureStatusCallback asks; the client sets it for the time of a connect (a plain
// function is all the library can call back, so the watch stands outside the channel).
void setSecureStatusWatch(std::function<bool()> goesOn);
