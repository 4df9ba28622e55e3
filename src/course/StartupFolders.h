#pragma once

#include <QString>

// The local folders the control finds when it starts: the host product's folder, the Windows
// drive and the browser the list windows view files with. They fill the shared state.

// Sets WindowsDrive from the Windows directory and BrowserPath from that drive.
void FindWindowsDrive();

// Sets HostFolder and HostDrive from the registry; when the host product is not registered,
// the current directory stands in for its folder and the Windows drive for its drive, and the
// result is false. FindWindowsDrive must have run.
bool FindHostFolder();

// The root of the host product's drive ("c:\"), where the control looks for local files by
// default and writes a page's upload copy; empty before FindHostFolder has run.
QString HostDriveRoot();
