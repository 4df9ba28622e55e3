#include "course/LocalPaths.h"

#include "course/SharedState.h"
#include "platform/FileSystemObject.h"
#include "platform/TextValue.h"
#include "platform/Ui.h"

namespace {

using Platform::Ui;

const QLatin1Char Backslash('\\');
const QLatin1Char Slash('/');

// Deeper paths than this are not walked by CreateFolderPath.
constexpr int MaxFolderDepth = 1000;

// A registry value is read into a buffer of this many bytes; a longer value fails.
constexpr qsizetype RegistryBufferSize = 1024;

// Removes the text after the last "/" of path and returns it; false (path unchanged) when
// path holds no "/".
bool takeLastComponent(QString &path, QString &component)
{
    const qsizetype slash = path.lastIndexOf(Slash);
    if (slash < 0)
        return false;
    component = path.mid(slash + 1);
    path.truncate(slash);
    return true;
}

bool askToCreateFolder(const QString &path)
{
    const QString question = QLatin1String("The folder: '") + path +
                             QLatin1String("' doesn't exist on the local computer.\r\n"
                                           "Do you want to create this folder?");
    return Platform::messageBox(question, Ui::Buttons::YesNo, Ui::Icon::Question,
                                QStringLiteral("Folder Doesn't Exist")) == Ui::Answer::Yes;
}

} // namespace

RemotePathParts SplitRemotePath(const QString &path)
{
    RemotePathParts parts;
    QString rest = Trim(path);
    if (rest.endsWith(Slash))
        rest.chop(1);
    if (rest.startsWith(Slash))
        rest.remove(0, 1);

    takeLastComponent(rest, parts.MonthFolder);
    takeLastComponent(rest, parts.ArchiveName);
    if (!takeLastComponent(rest, parts.CourseName))
        parts.CourseName = rest;
    else
        parts.WebRootPath = rest;
    return parts;
}

RemotePathParts SplitSharedRemoteDir()
{
    SharedState &state = Shared();
    const RemotePathParts parts = SplitRemotePath(state.RemoteDir);
    state.CourseName = parts.CourseName;
    state.ArchiveName = parts.ArchiveName;
    state.MonthFolder = parts.MonthFolder;
    state.WebRootPath = parts.WebRootPath;
    return parts;
}

bool CheckLocalPath(const QString &pathOrPattern)
{
    // "h:\lessons\*.*" and "h:\lessons\*" name all files of a folder: the folder must exist.
    QString path = pathOrPattern;
    for (const QLatin1String pattern : {QLatin1String("\\*.*"), QLatin1String("\\*")}) {
        if (path.endsWith(pattern)) {
            path.chop(pattern.size() - 1);
            break;
        }
    }
    const Platform::FileSystemObject fso;
    if (fso.FileExists(path) || fso.FolderExists(path))
        return true;

    // The pointer goes back to the arrow before any box, so the user never answers under an
    // hourglass.
    Platform::setMousePointer(Ui::Pointer::Default);
    if (!path.endsWith(Backslash)) {
        Platform::messageBox(QLatin1String("The file: '") + path +
                                 QLatin1String("' doesn't exist on the local computer."),
                             Ui::Buttons::OK, Ui::Icon::Critical, QStringLiteral("Bad File Name"));
        return false;
    }
    if (!askToCreateFolder(path))
        return false;
    if (CreateFolderPath(path))
        return true;
    // The user asked for the folder; a silent failure would leave them guessing.
    Platform::messageBox(
        QLatin1String("The folder: '") + path + QLatin1String("' could not be created."),
        Ui::Buttons::OK, Ui::Icon::Critical, QStringLiteral("Folder Doesn't Exist"));
    return false;
}

bool CreateFolderPath(const QString &path)
{
    // The walk names every folder by its full path, so the process's current directory is
    // never changed: a control must not move its host's current directory.
    qsizetype separator = path.indexOf(Backslash);
    if (separator < 0)
        return true;

    const Platform::FileSystemObject fso;
    // The text up to the first "\" is the drive; its root must exist.
    if (!fso.FolderExists(path.left(separator + 1)))
        return false;
    for (int depth = 0; depth < MaxFolderDepth; ++depth) {
        separator = path.indexOf(Backslash, separator + 1);
        if (separator < 0)
            break;
        const QString folder = path.left(separator + 1);
        if (!fso.FolderExists(folder) && !fso.CreateFolder(folder))
            return false;
    }
    return true;
}

QString TempFileName()
{
    QString name = Platform::FileSystemObject().GetTempName();
    name.chop(4); // ".tmp"
    return name;
}

void DeleteLocalFile(const QString &path)
{
    Platform::FileSystemObject().DeleteFile(path);
}

bool ReadRegistryValue(Platform::RootKey root, const QString &subKey, const QString &name,
                       QString &value)
{
    using Type = Platform::Registry::Type;
    value.clear();

    const auto stored = Platform::Registry().value(root, subKey, name);
    if (!stored || stored->dataSize() > RegistryBufferSize)
        return false;

    switch (stored->type) {
    case Type::String:
    case Type::ExpandString:
        value = stored->text;
        if (value.endsWith(QChar(0)))
            value.chop(1);
        break;
    case Type::DWord:
        value = QString::number(stored->number);
        break;
    default:
        break; // other types read as empty text
    }
    return true;
}

QString ReadAppFolder(Platform::RootKey root, const QString &subKey, const QString &name)
{
    QString program;
    if (!ReadRegistryValue(root, subKey, name, program))
        return {};
    if (program.endsWith(Backslash))
        return program;
    return program.left(program.lastIndexOf(Backslash) + 1);
}

QString ReadHostFolder()
{
    return ReadAppFolder(Platform::RootKey::LocalMachine,
                         QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App "
                                        "Paths\\Dovrelle.exe"),
                         QString());
}
