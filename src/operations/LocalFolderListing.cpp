#include "operations/LocalFolderListing.h"

#include "course/FileTypes.h"
#include "operations/NotListed.h"
#include "platform/FileSystemObject.h"
#include "platform/PartialName.h"

namespace {

bool namesEveryFile(const QString &namePart)
{
    return namePart.isEmpty() || namePart == QLatin1String("*") || namePart == QLatin1String("*.*");
}

// A download's unfinished copy and its note are no file of the user's: never listed, so never
// copied up either.
bool listable(const QString &name)
{
    return ExtensionAllowed(ExtensionOf(name)) && !PartialName::isPartialName(name);
}

} // namespace

FileRow LocalFolderListing::namedFileRow(const QString &name, qint64 size,
                                         const QDateTime &modified)
{
    FileRow row = FileRow::listed(name, size, modified);
    row.layout = FileRow::Layout::Named;
    row.checked = true;
    return row;
}

LocalFolderListing::Result LocalFolderListing::read(const QString &path,
                                                    const QString &nameToPreselect, bool checkAll)
{
    const qsizetype backslash = path.lastIndexOf(u'\\');
    const QString folder = path.left(backslash + 1);
    const QString namePart = path.mid(backslash + 1);
    const Platform::FileSystemObject fso;
    Result result;
    const std::optional<Platform::FsoFolder> listed = fso.GetFolder(folder);
    if (!listed)
        return result;
    result.listed = true;

    if (!namesEveryFile(namePart)) {
        const std::optional<Platform::FsoFile> file = fso.GetFile(folder + namePart);
        if (file && listable(file->Name()))
            result.rows.append(namedFileRow(file->Name(), file->Size(), file->DateLastModified()));
        return result;
    }
    // A folder whose files cannot be read (a named one still can be reached) shows no rows, and
    // says why rather than pass for an empty one.
    if (const QString why = listed->readError(); !why.isEmpty()) {
        TellNotListed(why);
        return result;
    }
    for (const Platform::FsoFile &file : listed->Files()) {
        const QString name = file.Name();
        if (!listable(name))
            continue;
        if (name == nameToPreselect && result.preselected < 0)
            result.preselected = static_cast<int>(result.rows.size());
        FileRow row = FileRow::listed(name, file.Size(), file.DateLastModified());
        row.checked = checkAll;
        result.rows.append(row);
    }
    return result;
}
