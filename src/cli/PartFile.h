#pragma once

#include <QFileInfo>
#include <QString>

// The file a download is written into: a fresh file next to its target that replaces the
// target only once the download is complete, so a failed download never destroys a file that
// was there before. It is removed unless it was committed.
class PartFile
{
public:
    explicit PartFile(const QFileInfo &target);
    ~PartFile();
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    // Linux path of the part file; empty when none could be made.
    QString path() const { return m_path; }

    // Puts the part file in the target's place, with the permissions of the file it replaces.
    bool commit();

private:
    QFileInfo m_target;
    QString m_path;
};
