#pragma once

#include <QByteArray>

// The 25-character key that unlocks the secure library. It is joined from its character codes
// only when asked for, so that it never stands whole in the program's files.
namespace SecureLibraryKey {

constexpr int Length = 25;

// The key followed by a NUL, ready to hand to FtpInit.
QByteArray key();

} // namespace SecureLibraryKey
