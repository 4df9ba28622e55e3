#pragma once

#include <QString>

#include <functional>

class QLineEdit;
class QWidget;
enum class MonthFolderStart;

// The preparation the control's commands share before they talk to the server: the event
// raised to the host, the remote directory split, txFile filled and checked, and the login
// data obtained (the login dialog when it is missing).
class CommandPreparation
{
public:
    // The login values the host set on the control, read after it handled the event.
    struct HostLogin
    {
        QString rdir;
        QString sitename;
        QString userid;
        QString password;
    };

    // What a command needs of the control that runs it.
    struct Control
    {
        QWidget *surface = nullptr; // shows the control's own mouse pointer
        QLineEdit *txFile = nullptr;
        std::function<void()> raiseEvent; // the command's event to the host
        std::function<HostLogin()> hostLogin;
        // Disables the three buttons and txFile.
        std::function<void()> disableCommands;
    };

    explicit CommandPreparation(Control control);

    // The folder the shared client stands in; empty when no session is open.
    static QString serverFolder();
    // Reads the course's configuration and its login data, with the login dialog when the data
    // is missing. False when the user cancelled.
    static bool readCourseLogin();
    // A command that finds the abort flag set ends: true when it was set, and it is cleared.
    static bool takeAbortFlag();
    // After a command's list windows closed: a connection that failed under them is taken
    // note of, and the next command logs in anew; else the login stands.
    static void settleLoginAfterLists();

    const Control &control() const { return m_control; }
    void showPointers(bool busy);
    // The remote directory split into course, archive and month; "Parameter Error" when a
    // part is missing.
    bool takeRemoteDirectory();
    // An empty txFile receives the course's last local folder.
    void fillEmptyLocalPath();
    // txFile names a usable local path (the user is told when not).
    bool checkLocalPath();
    // The login data, from the session, the host or the login dialog.
    bool obtainLogin();
    // Opens the session in the month folder through enter. A login the server refused, or a
    // month folder the live session cannot enter, resets the login data with "Bad directory
    // passed." in a box of the command's title; a server that could not be used keeps it (the
    // status window told why). The command goes on when the folder was Entered.
    MonthFolderStart enterMonthFolder(const QString &title, const std::function<bool()> &enter);

private:
    Control m_control;
};
