#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class QFile;
class QFileInfo;
class QFileDevice;

namespace Platform {

// A local path as an upload reads it. A regular file goes up by its size and can be continued;
// a pipe or a character device (/dev/stdin, a FIFO) goes up as its bytes come, until its end.
// Links are followed: /dev/stdin is one. Anything else cannot be read as a file's bytes.
class UploadSource
{
public:
    enum class Kind { Missing, File, Stream, Folder, Socket, BlockDevice };

    static Kind of(const QString &path);
    // When a file's bytes last changed, in seconds since 1970 UTC: the later of its modification
    // and its status change, for a file copied in with its old date kept (cp -p, an unpacked
    // archive, a restored backup) holds new bytes all the same. What was sent of the file before
    // then is no part of it.
    static qint64 lastChange(const QFileInfo &file);
    // "a folder", "a socket", "a block device" for the kinds an upload refuses; empty for the
    // others.
    static QString refusedKind(Kind kind);

    // Opens the file at file's name for reading, unbuffered. A pipe is opened without waiting
    // for a writer: readSome waits for its bytes, where the user can give up, while opening it
    // by its name would hold the program until a writer comes, for good if none does. The file
    // then has no name.
    static bool open(QFile &file);

    // What readSome gives when goesOn said no.
    static constexpr qint64 Stopped = -2;
    // Reads what an open stream holds, up to size bytes: as soon as any have come, where the
    // device itself would wait for all of them. 0 at its end; -1 on a failure, with the reason
    // in *error. While the stream stays silent, goesOn is asked every tenth of a second (the
    // user may give up on a writer that never comes); false gives Stopped.
    static qint64 readSome(QFileDevice &stream, char *data, qint64 size,
                           const std::function<bool()> &goesOn, QString *error);
};

} // namespace Platform
