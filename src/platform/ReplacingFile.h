#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

namespace Platform {

// A new version of a local file, written under a temporary name beside it and put in its place
// by commit() only: a failed or abandoned write leaves the old file as it was. The new file
// takes the name itself: where the name is a symbolic link, the link is replaced and the file
// it pointed to stays as it was (QSaveFile would write through it).
//
// A plain one writes under a random name and leaves nothing behind when it is given up. A
// resumable one (made with an origin) writes under the target's partial name, beside a note
// holding the origin, and keeps both when it is given up: the next attempt with the same
// origin continues it where it stopped.
//
// Only a regular file (or a link, or nothing) is replaced. A character device or a named pipe
// is written into directly, as a program writing to /dev/null or a pipe expects: no temporary
// file, no rename, nothing kept. A socket, a block device or a folder is refused.
class ReplacingFile : public QFile
{
public:
    explicit ReplacingFile(const QString &path);
    // `origin` says what the new version is a copy of, in the caller's words (the server, the
    // file, its size and date): a kept partial is continued only for the same origin.
    ReplacingFile(const QString &path, QByteArray origin);
    ~ReplacingFile() override; // an uncommitted plain version is removed, a resumable one kept
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // Creates the temporary file, with the permissions of the file it replaces (a new file's
    // when the name is a link or nothing yet). For writing only. A resumable one continues a
    // kept partial of the same origin, positioned at its end (see resumedAt), and otherwise
    // starts it over; it is refused while another writer holds the same partial.
    bool open(OpenMode mode) override;
    // Why a download must not write at this path (a socket, a block device, a folder); nothing
    // when it may.
    static std::optional<QString> refusalFor(const QString &path);
    // Whether a new version at this path replaces what is there (a file, a link, nothing),
    // rather than being written into it (a device, a pipe) or refused. The windows write only
    // where it does: anything else in a local folder is something the user set up there.
    static bool replaces(const QString &path) { return kindOf(path) == TargetKind::Replaced; }
    // The name the new version takes, not the temporary one.
    QString fileName() const override { return m_target; }
    // How many bytes of the new version an earlier attempt left, once open; 0 when it starts
    // from the first byte.
    qint64 resumedAt() const { return m_resumedAt; }
    // Empties a continued partial, so that it is written again from the first byte (what was
    // continued turned out not to be a copy of the file). False when the disk refuses.
    bool startOver();

    // Writes the new version out to the disk (where it replaces a file; a new name skips
    // the wait) and renames it onto the name. False when any of
    // that fails (errorString() says why); the temporary file is then gone and the old file
    // stays. A plain version removes a partial that an earlier, resumable one left, which the
    // whole file makes useless.
    bool commit();
    // Gives the new version up for good, a resumable one too: nothing is left of it.
    void discard();

private:
    enum class TargetKind { Replaced, WrittenInto, Refused };
    static TargetKind kindOf(const QString &path);

    bool openPlain(OpenMode mode);
    bool openDirect(OpenMode mode);
    bool openResumable(OpenMode mode);
    // Closing is committing or giving up, not something to do by the way.
    void close() override;
    // Gives the new version up, telling why; false.
    bool fail(const QString &why);
    void removeKeptPartial();

    QString m_target;
    QString m_temporary;
    QByteArray m_origin;
    bool m_resumable = false;
    bool m_direct = false; // a device or a pipe, written into
    qint64 m_resumedAt = 0;
};

} // namespace Platform
