#include "course/ConfigFile.h"

#include "platform/Profile.h"
#include "platform/SystemFolders.h"

namespace {
// Every value is read into a buffer of this many characters, its final NUL included.
constexpr int ValueBufferSize = 255;
} // namespace

ConfigFile::ConfigFile()
    : m_file(Platform::Profile::resolve(name()))
{}

QString ConfigFile::name()
{
    return QStringLiteral("Dovrelle.ini");
}

QString ConfigFile::dosPath()
{
    return Platform::SystemFolders::windowsDirectory() + QLatin1Char('\\') + name();
}

QByteArray ConfigFile::bytes(const QString &section, const QString &key) const
{
    return Platform::Profile::valueOf(m_file, section, key, QByteArray(), ValueBufferSize);
}

QString ConfigFile::text(const QString &section, const QString &key) const
{
    return QString::fromUtf8(bytes(section, key));
}

QString ConfigFile::firstNumbered(const QString &section, const QString &prefix, int first,
                                  int last) const
{
    for (int number = first; number <= last; ++number) {
        const QString value = text(section, prefix + QString::number(number));
        if (!value.isEmpty())
            return value;
    }
    return {};
}

bool ConfigFile::hasValues(const QString &section) const
{
    return !m_file.keys(section).isEmpty();
}
