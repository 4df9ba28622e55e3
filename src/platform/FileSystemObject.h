#pragma once

#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace Platform {

// One file as the file-system object describes it. Paths are DOS paths.
class FsoFile
{
public:
    enum Attribute { Normal = 0, ReadOnly = 1, Hidden = 2, Directory = 16, Archive = 32 };

    explicit FsoFile(const QString &dosPath);

    QString Name() const;
    QString Path() const { return m_dosPath; }
    qint64 Size() const;
    QDateTime DateLastModified() const;
    // Read-only when the owner may not write it; hidden when its name begins with a dot.
    int Attributes() const;
    // Removes the file; a read-only file only when force is set.
    bool Delete(bool force = false) const;

private:
    QString m_dosPath;
    QString m_linuxPath;
};

class FsoFolder
{
public:
    explicit FsoFolder(const QString &dosPath);

    QString Name() const;
    QString Path() const { return m_dosPath; }
    // The files of the folder (no folders), sorted by name without regard to case; a file
    // whose name holds "\", which no DOS path can name, is none, nor is a link to nothing.
    QList<FsoFile> Files() const;
    // Why the folder's entries cannot be read, in the system's words; empty when they can.
    // Files() lists such a folder as empty.
    QString readError() const;

private:
    QString m_dosPath;
    QString m_linuxPath;
};

// What the callers ask of "Scripting.FileSystemObject", over DOS paths.
class FileSystemObject
{
public:
    bool FileExists(const QString &dosPath) const;
    bool FolderExists(const QString &dosPath) const;
    std::optional<FsoFile> GetFile(const QString &dosPath) const;
    // The file whose name is exactly the path's last part. GetFile, as Windows does, also finds
    // one whose name differs in case, which an operation on a listed name must never touch.
    std::optional<FsoFile> GetFileNamedExactly(const QString &dosPath) const;
    std::optional<FsoFolder> GetFolder(const QString &dosPath) const;
    bool CreateFolder(const QString &dosPath) const;
    // Removes a file; a read-only one only when force is set. False when there is no such
    // file or it could not be removed.
    bool DeleteFile(const QString &dosPath, bool force = false) const;
    // Renames or moves a file; never over an existing one. Empty when it worked, else why not
    // in the system's words.
    QString MoveFile(const QString &source, const QString &destination) const;
    // "rad" followed by five hexadecimal digits and ".tmp"; a name, not a file.
    QString GetTempName() const;
    // Opens a new text file for writing. Without overwrite an existing file is never touched
    // (the file is created exclusively); a new file is readable by its owner only. nullptr when
    // it cannot be created.
    std::unique_ptr<QFile> CreateTextFile(const QString &dosPath, bool overwrite = false) const;
};

} // namespace Platform
