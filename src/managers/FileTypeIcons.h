#pragma once

#include <QIcon>

// The pictures of the list windows' rows, by image number: the desktop theme's icon for the
// file type, with Qt's own as the fallback, and the marks of a file being transferred and of
// one transferred.
namespace FileTypeIcons {

QIcon icon(int imageNumber);

} // namespace FileTypeIcons
