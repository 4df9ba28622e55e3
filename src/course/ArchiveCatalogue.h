#pragma once

#include <functional>

// The module routines that keep the current archive's catalogue current on the server: the
// page index.htm with one column per month (or named folder) and a link for every file, and
// index.xml with its style sheet index.xsl, which render the same page. The local copies live
// in the host product's folder, under "Course\Archive\".

// What became of a catalogue refresh.
enum class CatalogueRefresh {
    Uploaded,
    UploadFailed, // the local files are new, a file did not reach the server
    NotBuilt,     // no session, or the walk or the local files failed (the user was told)
    Stopped,      // the stop check ended it: nothing more was asked of the server, nor told
};

// Rebuilds the catalogue of the archive of the shared state and uploads it, connecting first
// when no session is open; does nothing when no session can be opened. The mouse pointer shows
// the hourglass meanwhile. A failed upload sets CatalogueUploadFailed, which the remote list
// reads when it closes. Once stopped, when given, says the user ended a wait for the server,
// no session is opened again and nothing more is uploaded (Stopped, the flag left as it was).
CatalogueRefresh RefreshArchive(const std::function<bool()> &stopped = {});

// Tells the user that the catalogue on the server could not be brought up to date.
void TellRefreshFailed();

// RefreshArchive for the callers that nothing tries again for: a catalogue that did not reach
// the server, or that the stop cut short, is reported at once, and the flag is cleared.
CatalogueRefresh RefreshArchiveAndReport(const std::function<bool()> &stopped = {});

// The second try for a catalogue whose upload failed (the remote list makes it when it
// closes): clears CatalogueUploadFailed and uploads the local files of the last refresh into
// the archive folder, the parent of the remote folder. True when every file went up; nothing
// goes up when the session cannot stand in that folder.
bool UploadCatalogueAgain();

// Walks the archive's folders on the server, writes the three catalogue files and uploads
// them into the archive folder; the server is left in the archive folder. A session lost on
// the way is opened again and the walk made anew; the upload enters the archive folder again
// after a drop. False, with nothing uploaded, when the walk could not be made whole or a
// catalogue file could not be written (the user is told).
bool BuildArchiveCatalogue();
