#pragma once

#include "transport/TlsMode.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class LoginCipher;
class CipherComponent;
class cFTP;

// The control library's module state: one set of values shared by every command and window,
// alive as long as the library is loaded. Values, and the one routine the owner of the user
// interface installs (Reconnect); the routines that fill the values live with the commands,
// the configuration store and the path helpers. Nothing below the course rules reads it: the
// FTP client gets what it needs handed in (see CreateSharedClient).
class SharedState
{
public:
    static SharedState &instance();
    // Back to the state of a freshly loaded library (tests call it between cases).
    static void reset();

    SharedState();
    ~SharedState();
    SharedState(const SharedState &) = delete;
    SharedState &operator=(const SharedState &) = delete;
    SharedState &operator=(SharedState &&other) noexcept;

    // Server paths of the running command.
    QString RemoteDir;  // copy of rdir, made absolute when connecting
    QString CourseName; // last three folders of the remote directory ...
    QString ArchiveName;
    QString MonthFolder;
    QString WebRootPath;     // ... and what lies before them
    QString MonthFolderPath; // "/" + remote directory, single slashes
    QString ArchiveDir;      // parent of the month folder path
    QString WebRoot;         // absolute server path of the host product's area
    QString HomeDir;         // server folder current right after login
    QString RemoteRoot;
    qint32 MonthFolderSize = 0; // bytes below the month folder, from the last size walk

    // Login data.
    QString SiteName;
    QString Host; // the host part of the site, what the session connects to
    QString UserId;
    QString Password;
    bool Secure = false;
    Ftp::TlsMode Tls = Ftp::TlsMode::Auto; // the course's "tls" setting, for plain sessions
    bool Batch = false;

    // Course settings.
    QString StartMonth;
    QString StartYear;
    QString EndMonth;
    QString EndYear;
    QString School;
    QString Dept;
    QString TeacherName;
    QString LastLocalDir;      // ends in "\"
    QString PreviousLocalText; // txFile's text when the running command began
    QString CurrentLocalPath;  // the local path an upload works on

    // Folder map of the current archive: twelve named folders instead of months.
    bool NamedFolders = false;
    std::array<QString, 12> FolderNames; // FolderNames[m - 1] for m = 1 ... 12

    // Flags.
    bool LoggedIn = false;
    bool ConnectionFailed = false;
    bool LoginCancelled = false;
    bool AbortFlag = false;
    bool CancelRequest = false;
    bool BusyFlag = false;
    bool TransferRunning = false;
    bool StopFlag = false;
    bool CatalogueUploadFailed = false;
    // Keeps the remote list from resetting the login data when it lands in another folder
    // than the month folder.
    bool SuppressReset = false;
    // Set when the user closed a list window (close box or Exit), not the program.
    bool WindowClosed = false;

    qint16 DvValue = 0; // catalogue refresh switch, copy of dv
    QString UploadFilter;
    QStringList AllowedExtensions;
    qint32 CapacityLimit = 0; // meg

    // Local side, found when the control starts.
    QString WindowsDrive;
    QString HostFolder; // the host product's folder, ends in "\"
    QString HostDrive;  // first character of HostFolder
    QString BrowserPath;

    // Answers to the host's safety questions; the library's start-up sets both.
    bool SafeForScripting = true;
    bool SafeForInitializing = true;

    // The object the host handed to loadfunc (not owned; cleared when the host destroys it).
    QPointer<QObject> LoadFuncObject;

    // Shared helper objects, owned here.
    std::unique_ptr<LoginCipher> Cipher;
    std::unique_ptr<CipherComponent> Component;
    // The shared FTP client.
    std::unique_ptr<cFTP> FtpClient;
    // Opens the shared client's session again when a command finds it closed. Installed by
    // whoever owns the user interface: the control shows its connection status window, vellix
    // opens the session without one. Without it nothing reconnects. Returns whether the
    // session is open afterwards.
    std::function<bool()> Reconnect;
};

// Shorthand for the module state.
inline SharedState &Shared()
{
    return SharedState::instance();
}
