#pragma once

#include <QListWidget>

// A folder list as the chooser shows it: the folders of the current path from the drive's
// root down, each a step further in, the current one open, and below it its sub-folders.
// A double click enters a folder. Paths are DOS paths with a trailing "\".
class FolderList : public QListWidget
{
    Q_OBJECT

public:
    explicit FolderList(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Shows the folder; false, changing nothing, when it cannot be read.
    bool setPath(const QString &dosFolder);
    // Reads the folder's sub-folders again, staying in it; false when it cannot be read.
    bool reread() { return show(m_path); }

Q_SIGNALS:
    void pathChanged(const QString &path);

private:
    bool show(const QString &dosFolder);
    void addEntry(const QString &name, const QString &path, int depth, bool open);

    QString m_path;
};
