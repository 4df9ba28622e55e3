#pragma once

#include "platform/IniFile.h"

#include <QByteArray>
#include <QString>

// The configuration file "Dovrelle.ini" that the control shares with the host product, as
// read at one moment. The host product may change the file between two reads, so each
// routine run reads it anew; within a run the one reading serves every key. Values are read
// the way the profile functions give them: into a buffer of 255 characters (at most 254
// bytes), cut at the first NUL, empty when the file, section or key is missing.
class ConfigFile
{
public:
    ConfigFile();

    // The file's bare name: it lies in the Windows directory.
    static QString name();
    // Where the file lies, as the control names local files ("C:\windows\Dovrelle.ini").
    static QString dosPath();

    QByteArray bytes(const QString &section, const QString &key) const;
    // A plain (not enciphered) value; plain values are UTF-8.
    QString text(const QString &section, const QString &key) const;
    // The first non-empty value among the keys prefix + first ... prefix + last, in that
    // order ("course0" ... "course10"); empty when all are empty.
    QString firstNumbered(const QString &section, const QString &prefix, int first, int last) const;
    // True when the section holds at least one key.
    bool hasValues(const QString &section) const;
    // False when the file is there but could not be read: every value reads as empty.
    bool isReadable() const { return m_file.isReadable(); }

private:
    Platform::IniFile m_file;
};
