#include "course/EditorFolders.h"

#include "course/LocalPaths.h"
#include "platform/Environment.h"

namespace {

using Platform::RootKey;

// Windows hands out at most this many environment strings by number.
constexpr qsizetype EnvironmentEntriesRead = 1000;

QString withBackslash(const QString &folder)
{
    return folder.isEmpty() || folder.endsWith(QLatin1Char('\\')) ? folder
                                                                  : folder + QLatin1Char('\\');
}

QString programFilesFolder()
{
    const QLatin1String name("PROGRAMFILES=");
    const QStringList entries = Platform::Environment::entries();
    for (qsizetype i = 0; i < std::min(entries.size(), EnvironmentEntriesRead); ++i) {
        const QString &entry = entries.at(i);
        if (entry.isEmpty())
            break;
        if (entry.left(name.size()).toUpper() == name)
            return entry.mid(name.size());
    }
    return {};
}

QString wordPadFolder(const QString &programFiles)
{
    QString folder = ReadAppFolder(
        RootKey::LocalMachine,
        QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WORDPAD.EXE"),
        QString());
    folder.replace(QLatin1String("%ProgramFiles%"), programFiles);
    folder.replace(QLatin1String("%PROGRAMFILES%"), programFiles);
    return withBackslash(folder);
}

QString wordFolder()
{
    // "Word.Application.16": the installed version is what follows the last dot.
    QString currentVersion;
    if (!ReadRegistryValue(RootKey::ClassesRoot, QStringLiteral("Word.Application\\CurVer"),
                           QString(), currentVersion) ||
        !currentVersion.contains(QLatin1Char('.')))
        return {};
    const QString version = currentVersion.mid(currentVersion.lastIndexOf(QLatin1Char('.')) + 1);
    return withBackslash(ReadAppFolder(RootKey::LocalMachine,
                                       QStringLiteral("Software\\Microsoft\\Office\\") + version +
                                           QStringLiteral(".0\\Word\\InstallRoot"),
                                       QStringLiteral("Path")));
}

} // namespace

EditorFolders EditorFolders::find()
{
    EditorFolders folders;
    folders.programFiles = programFilesFolder();
    folders.wordPad = wordPadFolder(folders.programFiles);
    folders.word = wordFolder();
    return folders;
}
