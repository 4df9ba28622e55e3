#pragma once

#include <QString>

// True when a local path typed or set by the host can be used: it must begin with a drive
// letter, a colon and "\", and may hold no wildcard other than "*.*" (a whole folder).
// Otherwise the user is told why (critical box, pointer back to the arrow first) and the
// result is false.
bool ValidLocalPath(const QString &path);
