#pragma once

#include <functional>

class cFTP;

// Makes the shared FTP client of the shared state, replacing any earlier one: its transfers
// stop at the cancel-request flag, its secure commands clear the stop flag, and a page's upload
// copy is written to the root of the host drive (FindHostFolder must have run). HomeDir is
// cleared, since the new client has no session. The owner of the user interface hands in how
// the message loop runs and how a secure connect goes on; without them nothing is pumped, and
// a secure connect goes on until a cancel is requested.
cFTP &CreateSharedClient(std::function<void()> pumpMessages = {},
                         std::function<bool()> secureConnectGoesOn = {});
