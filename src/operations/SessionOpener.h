#pragma once

#include <functional>

// Opening the shared FTP client's session with the login data of the shared state, the way
// the connection status window does it, without any window of its own.

// Switches the shared client to the secure channel when the course's stored "secure" value is
// any number but 0 (negative ones included; a missing value reads as 0). Returns the switch.
bool ChooseSecureChannel();

// Works out the host and web root the site names, connects, and makes the server paths
// absolute under the login folder. True when the session is open. stopRequested, asked while the
// session opens, gives the connect up as failed (see cFTP::OpenConnection).
bool OpenSharedSession(const std::function<bool()> &stopRequested = {});
