#pragma once

#include <QIcon>

// The pictures of the list windows' rows, from the program's icon theme: the picture of the
// file's type, by its extension, or the mark that a transfer put on the row (the file being
// transferred, or transferred).
namespace FileTypeIcons {

// The picture of a row whose image number is imageNumber and whose extension is extension
// (as ExtensionOf gives it). The image number tells the marks from the types; the extension
// tells apart the types that share a number (audio and video files) and names those the
// number lumps in with the unknown ones (docx, odt, xlsx, jpeg...).
QIcon icon(int imageNumber, const QString &extension);

} // namespace FileTypeIcons
