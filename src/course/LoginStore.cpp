#include "course/LoginStore.h"

#include "course/ConfigFile.h"
#include "platform/IniFile.h"
#include "platform/IniFileLock.h"
#include "platform/Profile.h"

namespace {

// What a read of the file gives back at most (a buffer of 255 characters less the NUL).
constexpr qsizetype MaxStoredBytes = 254;

} // namespace

LoginStore::LoginStore()
    : m_key(LoginCipher().Key())
{}

QString LoginStore::read(const ConfigFile &file, const QString &section, const QString &key) const
{
    return QString::fromUtf8(m_component.Decipher(file.bytes(section, key), m_key));
}

bool LoginStore::write(const QString &section, const QString &key, const QString &value) const
{
    if (problemWith(value) != Problem::None)
        return false;
    return Platform::Profile::WritePrivateProfileString(section, key, enciphered(value),
                                                        ConfigFile::name());
}

LoginStore::Outcome LoginStore::write(const QString &section,
                                      const QList<std::pair<QString, QString>> &values) const
{
    const QString path = Platform::Profile::resolve(ConfigFile::name());
    const Platform::IniFileLock lock(path);
    if (!lock.isLocked())
        return {Saved::NotWritable};
    Platform::IniFile file(path);
    for (const auto &[key, value] : values) {
        if (problemWith(value) != Problem::None || !file.setValue(section, key, enciphered(value)))
            return {Saved::Refused};
    }
    const bool wasOpenToOthers = file.isOpenToOthers();
    if (!file.save(Platform::IniFile::Access::OwnerOnly))
        return {Saved::NotWritable};
    return {Saved::Stored, wasOpenToOthers};
}

LoginStore::Problem LoginStore::problemWith(const QString &value) const
{
    const QByteArray stored = enciphered(value);
    if (stored.size() > MaxStoredBytes)
        return Problem::TooLong;
    if (!Platform::IniFile::isWritableValue(stored))
        return Problem::Unstorable;
    // A text that is not valid UTF-16 (a lone surrogate) would not come back as written.
    if (QString::fromUtf8(m_component.Decipher(stored, m_key)) != value)
        return Problem::Unstorable;
    return Problem::None;
}

QByteArray LoginStore::enciphered(const QString &value) const
{
    return m_component.Encipher(value.toUtf8(), m_key);
}
