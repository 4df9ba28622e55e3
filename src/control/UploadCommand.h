#pragma once

#include "control/CommandPreparation.h"

#include <QString>

#include <optional>

// The control's "&Upload" command: sends the local path in txFile into the course's current
// month folder on the server and rebuilds the archive catalogue after a single file went up.
// In secure batch mode a single file is handed to the external transfer tool instead.
class UploadCommand
{
public:
    using HostLogin = CommandPreparation::HostLogin;
    using Control = CommandPreparation::Control;

    explicit UploadCommand(Control control);

    // The click on "&Upload", start to end.
    void run();

    // What became of one local path.
    enum class Outcome {
        Announced,        // a file went up, the catalogue was rebuilt and the user was told
        UploadedSilently, // a file went up for a host that handed no object to loadfunc
        NotUploaded,      // the transfer failed, or the path is no file
        Cancelled,        // the user cancelled the transfer in the transfer window
    };

    // Uploads one local path into the month folder.
    Outcome uploadPath(const QString &path);

private:
    // Sends the file into the month folder, showing it in the transfer window once it takes a
    // second, and tries again after a cut that trying again may cure, continuing where the
    // cut one stopped; whether it went up, or nothing when the user cancelled it there.
    std::optional<bool> sendFile(const QString &path, const QString &fileName);
    // Lists a folder in the local list and shows it, to copy its files up.
    void showLocalList(const QString &path);

    CommandPreparation m_preparation;
};
