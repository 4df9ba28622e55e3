#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

namespace Platform {

// Replaces a small file with new content at once: a sibling file takes the content and is
// renamed over it (through a link, to the file the link leads to), only once every byte of it
// was written. QSaveFile alone would not notice that its buffer could not be written, the disk
// being full, and would put an empty or cut file in place of the old one.
//
// The new file takes the given permissions, or when none are given the old file's (a new
// file's default where there was none). Why it failed, when it did; nothing when it is saved.
std::optional<QString> writeWholeFile(const QString &path, const QByteArray &content,
                                      std::optional<QFileDevice::Permissions> permissions = {});

} // namespace Platform
