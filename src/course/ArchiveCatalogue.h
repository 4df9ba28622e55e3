#pragma once

// The module routines that keep the current archive's catalogue current on the server: the
// page index.htm with one column per month (or named folder) and a link for every file, and
// index.xml with its style sheet index.xsl, which render the same page. The local copies live
// in the host product's folder, under "Course\Archive\".

// Rebuilds the catalogue of the archive of the shared state and uploads it, connecting first
// when no session is open; does nothing when no session can be opened. The mouse pointer shows
// the hourglass meanwhile. A failed upload sets CatalogueUploadFailed.
void RefreshArchive();

// Walks the archive's folders on the server, writes the three catalogue files and uploads
// them into the archive folder; the server is left in the archive folder. False, with nothing
// uploaded, when a catalogue file could not be written (the user is told).
bool BuildArchiveCatalogue();
