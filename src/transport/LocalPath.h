#pragma once

#include <QString>

#include <optional>

// A local path as the control names it (its DOS form, "h:\lesson 1.pdf") and as Linux names
// it. The Linux form is worked out once, when first asked for: the look-up walks the folders
// of the path, and a transfer needs the path many times.
class LocalPath
{
public:
    explicit LocalPath(QString dosPath);

    const QString &dosPath() const { return m_dosPath; }
    // Empty when the path lies on no drive of this computer.
    const QString &linuxPath() const;
    // The same path without blanks at either end.
    LocalPath trimmed() const;

private:
    QString m_dosPath;
    mutable std::optional<QString> m_linuxPath;
};
