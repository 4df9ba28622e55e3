#pragma once

#include <QFile>
#include <QString>

namespace Platform {

// A new version of a local file, written under a temporary name beside it and put in its place
// by commit() only: a failed or abandoned write leaves the old file as it was and no partial
// file behind. The new file takes the name itself: where the name is a symbolic link, the link
// is replaced and the file it pointed to stays as it was (QSaveFile would write through it).
class ReplacingFile : public QFile
{
public:
    explicit ReplacingFile(const QString &path);
    ~ReplacingFile() override; // an uncommitted new version is removed
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // Creates the temporary file, exclusively, with the permissions of the file it replaces
    // (a new file's when the name is a link or nothing yet). For writing only.
    bool open(OpenMode mode) override;
    // The name the new version takes, not the temporary one.
    QString fileName() const override { return m_target; }

    // Writes the new version out to the disk and renames it onto the name. False when any of
    // that fails (errorString() says why); the temporary file is then gone and the old file
    // stays.
    bool commit();

private:
    // Closing is committing or giving up, not something to do by the way.
    void close() override;
    // Gives the new version up, telling why; false.
    bool fail(const QString &why);
    void discard();

    QString m_target;
    QString m_temporary;
};

} // namespace Platform
