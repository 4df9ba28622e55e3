#pragma once

#include <functional>

class cFTP;

// One file's transfer for an upload that has no list window to try it again (the Upload
// command, the chooser's upload): a try that failed in a way trying again may cure (the session or
// the data connection lost, no answer) is followed by another, with the session opened again when
// it dropped, and the client's transfer continues the partial file the cut try left. A failure that
// stays (a missing file, a refused permission) and the user's cancel end it at once.
class TransferRetry
{
public:
    // As many tries as the list windows give a file.
    static constexpr int Attempts = 6;

    // Whether a try of tryOnce worked.
    static bool run(cFTP &client, const std::function<bool()> &tryOnce);
};
