#pragma once

#include <QString>

// Tells the user that a folder's files cannot be listed, and why (the system's or the server's
// words), rather than let the folder pass for an empty one.
void TellNotListed(const QString &why);
