#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Platform {

class IniFile;

// The profile functions of the system over initialisation files. A bare file name
// ("Dovrelle.ini") lies in the Windows directory; a DOS path names the file itself.
namespace Profile {

// The value of a key as bytes, at most size - 1 of them and cut at the first NUL; the default
// when the file, section or key is missing.
QByteArray GetPrivateProfileString(const QString &section, const QString &key,
                                   const QByteArray &defaultValue, int size,
                                   const QString &fileName);

// The value of a key of a file already read, as GetPrivateProfileString gives it.
QByteArray valueOf(const IniFile &file, const QString &section, const QString &key,
                   const QByteArray &defaultValue, int size);

// Writes one key, keeping every other line of the file; std::nullopt removes the key.
// The file is replaced atomically. False when nothing could be written.
bool WritePrivateProfileString(const QString &section, const QString &key,
                               const std::optional<QByteArray> &value, const QString &fileName);

// Linux path of a profile file name as the two functions above resolve it.
QString resolve(const QString &fileName);

} // namespace Profile
} // namespace Platform
