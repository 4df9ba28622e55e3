#pragma once

#include "operations/LocalRename.h"

#include <QString>

#include <optional>

class ChooserWindowPort;

// The chooser's operations on its selected file: upload it into the month folder within the
// capacity, rename or delete it locally and offer the same on the server, and cancel a
// running upload.
class ChooserOperations
{
public:
    explicit ChooserOperations(ChooserWindowPort &window);

    void upload();
    void rename();
    void remove();
    // Exit: a running upload is cancelled (a plain session closed) and the user told.
    void cancel();

    // Whether a file of that many bytes fits beside what the month folder holds: megabytes
    // in decimal units, the limit included. attempted receives the total in MB.
    static bool withinCapacity(double usedBytes, qint64 fileBytes, double &attemptedMB);

private:
    // Opens the session in the month folder when none is open, and measures what the folder
    // holds (see RemoteFolderSize); nothing once Cancel ended a wait for the server.
    std::optional<double> monthFolderBytes();
    // Uploads the file into the month folder, tried again after a cut as TransferRetry does, and
    // rebuilds the catalogue; false when it did not go up. The host that handed over a
    // loadfunc object hears of a success.
    bool uploadFileAndRefresh(const QString &localPath);
    void rebuildCatalogue();
    LocalRename renamer() const;

    ChooserWindowPort &m_window;
};
