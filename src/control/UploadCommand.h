#pragma once

#include <QString>

#include <functional>

class QLineEdit;
class QWidget;

// The control's "&Upload" command: sends the local path in txFile into the course's current
// month folder on the server and rebuilds the archive catalogue after a single file went up.
// In secure batch mode a single file is handed to the external transfer tool instead.
class UploadCommand
{
public:
    // The login values the host set on the control, read after it handled clickUpload.
    struct HostLogin
    {
        QString rdir;
        QString sitename;
        QString userid;
        QString password;
    };

    // What the command needs of the control that runs it.
    struct Control
    {
        QWidget *surface = nullptr; // shows the control's own mouse pointer
        QLineEdit *txFile = nullptr;
        std::function<void()> raiseClickUpload;
        std::function<HostLogin()> hostLogin;
        // Disables the three buttons and txFile.
        std::function<void()> disableCommands;
    };

    explicit UploadCommand(Control control);

    // The click on "&Upload", start to end.
    void run();

    // What became of one local path.
    enum class Outcome {
        Announced,        // a file went up, the catalogue was rebuilt and the user was told
        UploadedSilently, // a file went up for a host that handed no object to loadfunc
        NotUploaded,      // the transfer failed, or the path is no file
    };

    // Uploads one local path into the month folder.
    Outcome uploadPath(const QString &path);

private:
    bool takeRemoteDirectory();
    void fillEmptyLocalPath();
    bool obtainLogin();
    bool enterMonthFolder();
    void showPointers(bool busy);

    Control m_control;
};
