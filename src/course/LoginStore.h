#pragma once

#include "course/CipherComponent.h"

class ConfigFile;

#include <QByteArray>
#include <QString>

// The enciphered login values of a course section of the configuration file ("ftpSite",
// "ftpUsid", "ftpPwd", "secure"). Each routine that reads or writes login data makes one for
// its run, with its own cipher component, as it would make the host product's component.
// Values are texts; they are stored as their UTF-8 bytes, enciphered.
class LoginStore
{
public:
    enum class Problem {
        None,
        TooLong,    // more bytes than a read of the file gives back
        Unstorable, // would not read back as written (a line break or NUL once enciphered)
    };

    LoginStore();

    // The deciphered value of a key; empty when the file, section or key is missing.
    QString read(const ConfigFile &file, const QString &section, const QString &key) const;
    // Enciphers and writes one value. False, with nothing written, when the value cannot be
    // stored or the file cannot be written.
    bool write(const QString &section, const QString &key, const QString &value) const;

    // Why a value would not read back unchanged; Problem::None when it would.
    Problem problemWith(const QString &value) const;

private:
    QByteArray enciphered(const QString &value) const;

    CipherComponent m_component;
    QByteArray m_key;
};
