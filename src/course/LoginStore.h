#pragma once

#include "course/CipherComponent.h"

class ConfigFile;

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

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

    enum class Saved {
        Stored,
        Refused,     // a value or the section name cannot be stored; nothing was written
        NotWritable, // the file or its folder cannot be written
    };

    // What became of a write of login values; true when they were stored.
    struct Outcome
    {
        Saved saved = Saved::Stored;
        // The file had been open to other users: it holds login data, so it is its owner's
        // only now.
        bool madePrivate = false;

        explicit operator bool() const { return saved == Saved::Stored; }
    };

    LoginStore();

    // The deciphered value of a key; empty when the file, section or key is missing.
    QString read(const ConfigFile &file, const QString &section, const QString &key) const;
    // Enciphers and writes one value, the file's access left as it is (clearing a value gives
    // nothing away). False, with nothing written, when the value cannot be stored or the file
    // cannot be written.
    bool write(const QString &section, const QString &key, const QString &value) const;
    // Enciphers and writes several values (key, value) in one change of the file, so that
    // they are stored all together or not at all, and leaves the file readable by its owner
    // only: the cipher keeps a casual eye off the values, not a determined one.
    Outcome write(const QString &section, const QList<std::pair<QString, QString>> &values) const;

    // Why a value would not read back unchanged; Problem::None when it would.
    Problem problemWith(const QString &value) const;

private:
    QByteArray enciphered(const QString &value) const;

    CipherComponent m_component;
    QByteArray m_key;
};
