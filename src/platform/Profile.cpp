#include "platform/Profile.h"

#include "platform/DosPath.h"
#include "platform/IniFile.h"
#include "platform/IniFileLock.h"
#include "platform/SystemFolders.h"

namespace Platform::Profile {

QString resolve(const QString &fileName)
{
    if (DosPath::isAbsolute(fileName))
        return DosPath::toLinux(fileName);
    // A bare name lies in the Windows directory; the mapping finds it in any letter case.
    return DosPath::toLinux(SystemFolders::windowsDirectory() + QLatin1Char('\\') + fileName);
}

QByteArray GetPrivateProfileString(const QString &section, const QString &key,
                                   const QByteArray &defaultValue, int size,
                                   const QString &fileName)
{
    return valueOf(IniFile(resolve(fileName)), section, key, defaultValue, size);
}

QByteArray valueOf(const IniFile &file, const QString &section, const QString &key,
                   const QByteArray &defaultValue, int size)
{
    if (size <= 0)
        return {};
    QByteArray value = file.value(section, key).value_or(defaultValue);
    const qsizetype nul = value.indexOf('\0');
    if (nul >= 0)
        value.truncate(nul);
    if (value.size() > size - 1)
        value.truncate(size - 1);
    return value;
}

bool WritePrivateProfileString(const QString &section, const QString &key,
                               const std::optional<QByteArray> &value, const QString &fileName)
{
    const QString path = resolve(fileName);
    if (path.isEmpty())
        return false;
    const IniFileLock lock(path);
    if (!lock.isLocked())
        return false;
    IniFile file(path);
    if (value) {
        if (!file.setValue(section, key, *value))
            return false;
    } else {
        file.removeKey(section, key);
    }
    return file.save();
}

} // namespace Platform::Profile
