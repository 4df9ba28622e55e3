#include "course/ArchiveCatalogue.h"

#include "VellixonVersion.h"
#include "course/CataloguePage.h"
#include "course/CatalogueText.h"
#include "course/ConfigStore.h"
#include "course/ConnectionPaths.h"
#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "platform/DosPath.h"
#include "platform/ReplacingFile.h"
#include "platform/Ui.h"
#include "platform/WholeFile.h"
#include "platform/Windows1252.h"
#include "transport/cDirList.h"
#include "transport/cFTP.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

using namespace Qt::StringLiterals;
using Platform::Ui;

namespace {

const QString CatalogueFolder = u"Course\\Archive\\"_s;
const QString PageName = u"index.htm"_s;
const QString XmlName = u"index.xml"_s;
const QString StyleSheetName = u"index.xsl"_s;
const QString LineEnd = u"\r\n"_s;

// The folder the client stands in; empty without a client or an open session.
QString currentFolder()
{
    cFTP *client = Shared().FtpClient.get();
    return client ? client->GetFTPDirectory() : QString();
}

QString archiveFolderPath()
{
    const SharedState &state = Shared();
    return CollapseSlashes(state.WebRoot + u'/' + state.CourseName + u'/' + state.ArchiveName);
}

CatalogueTexts catalogueTexts()
{
    const SharedState &state = Shared();
    QString archive = DisplayName(state.ArchiveName);
    if (!archive.isEmpty())
        archive[0] = archive.at(0).toUpper();
    return {TitleCase(archive) + u" Archive - "_s + DisplayName(state.CourseName),
            state.School + u" - "_s + state.Dept.toUpper(), state.TeacherName,
            QString::fromLatin1(VellixonVersion::Copyright)};
}

// How often the archive is walked when its session drops, or a listing fails, on the way.
constexpr int WalkAttempts = 3;

// A folder's column: its files when the folder can be entered. The client then goes back to
// the archive folder by its path: on servers that resolve links, ".." from a folder that is a
// link leads to the parent of its target, where the next folder would be another archive's.
// Whether the walk goes on: not when the folder's listing failed, which would leave out files
// that are there, nor when the client could not go back.
bool appendFolderColumn(cFTP &client, CataloguePage &page, const QString &folder, bool entered)
{
    const std::shared_ptr<cDirList> listing =
        entered ? client.GetDirectoryListing(u"*"_s) : nullptr;
    if (entered && !client.ListingError().isEmpty())
        return false;
    page.AppendColumn(folder, listing.get());
    return !entered || client.SetFTPDirectory(Shared().ArchiveDir);
}

// Every month of the period gets its column, with a header even when its folder is missing.
// Outside the archive folder no folder is entered: names relative to another folder would
// list another folder's files. Whether every column is whole.
bool appendMonthColumns(cFTP &client, CataloguePage &page, bool inArchive)
{
    const SharedState &state = Shared();
    const QStringList months =
        CatalogueMonthFolders(state.StartMonth, state.StartYear, state.EndMonth, state.EndYear);
    for (const QString &month : months) {
        if (!appendFolderColumn(client, page, month, inArchive && client.SetFTPDirectory(month)))
            return false;
    }
    return true;
}

// Only the named folders that exist get a column.
bool appendNamedColumns(cFTP &client, CataloguePage &page, bool inArchive)
{
    for (const QString &name : Shared().FolderNames) {
        if (!name.isEmpty() && inArchive && client.SetFTPDirectory(name) &&
            !appendFolderColumn(client, page, name, true))
            return false;
    }
    return true;
}

// The page of the archive's folders (of none, when a live session finds no archive folder);
// nothing when the session dropped or a listing failed on the way, which would leave columns
// empty that are not.
std::optional<QString> walkArchive(cFTP &client)
{
    const bool inArchive = EnterServerFolder(Shared().ArchiveDir);
    if (!inArchive && client.GetFTPDirectory().isEmpty())
        return std::nullopt;
    CataloguePage page(catalogueTexts());
    const bool whole = Shared().NamedFolders ? appendNamedColumns(client, page, inArchive)
                                             : appendMonthColumns(client, page, inArchive);
    // Nothing opens the session again during the walk: one that stands at its end stood all
    // along.
    if (!whole || client.GetFTPDirectory().isEmpty())
        return std::nullopt;
    return page.Finish();
}

QString localCatalogueFile(const QString &name)
{
    return Shared().HostFolder + CatalogueFolder + name;
}

// One catalogue file in the code page its declaration names, ended by a line end. The old
// file is replaced only once the new one is complete.
bool writeCatalogueFile(const QString &name, const QString &text)
{
    const QString path = Platform::DosPath::toLinux(localCatalogueFile(name));
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    return !Platform::writeWholeFile(
        path, Platform::Windows1252::encodeWithCharacterReferences(text + LineEnd));
}

bool writeCatalogueFiles(const QString &page)
{
    const QString xml = u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"_s + LineEnd +
                        u"<?xml-stylesheet type=\"text/xsl\" href=\"index.xsl\"?>"_s + LineEnd +
                        u"<root>"_s + LineEnd + u"</root>"_s;
    const QString styleSheet =
        u"<?xml version=\"1.0\" encoding=\"ISO8859-1\"?>"_s + LineEnd +
        u"<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"_s +
        LineEnd + u"<xsl:template match=\" / \">"_s + LineEnd + page + u"</xsl:template>"_s +
        LineEnd + u"</xsl:stylesheet>"_s;
    const std::pair<QString, QString> files[] = {
        {PageName, page}, {XmlName, xml}, {StyleSheetName, styleSheet}};
    for (const auto &[name, text] : files) {
        const QString local = localCatalogueFile(name);
        // A pipe, a device, a socket or a folder in a file's place is left as it stands.
        const bool taken = !Platform::ReplacingFile::replaces(Platform::DosPath::toLinux(local));
        if (taken || !writeCatalogueFile(name, text)) {
            Platform::setMousePointer(Ui::Pointer::Default);
            Platform::messageBox(u"The archive catalogue could not be written to "_s + local +
                                     (taken ? u": it is not a regular file."_s : u"."_s),
                                 Ui::Buttons::OK, Ui::Icon::Critical);
            return false;
        }
    }
    return true;
}

// The page is deleted on the server first so that its companion folder goes with it; the
// other two files are simply replaced. Every file goes up by name into the archive folder, so
// after a drop the session enters it again before anything else is written, and a file that
// the drop cut off goes up once more. A live session that finds no archive folder uploads
// nothing; any file that did not get up sets CatalogueUploadFailed, unless the stop ended
// the upload: the user is then told by the caller, and no second upload follows.
CatalogueRefresh uploadCatalogue(cFTP &client, const std::function<bool()> &stopped)
{
    SharedState &state = Shared();
    RunScope::clearCancel();
    const QString archive = archiveFolderPath();
    // A session the stop closed is not opened again.
    const auto inArchive = [&] { return !stopped() && EnterServerFolder(archive); };
    if (!inArchive()) {
        if (stopped())
            return CatalogueRefresh::Stopped;
        state.CatalogueUploadFailed = state.CatalogueUploadFailed || currentFolder().isEmpty();
        return CatalogueRefresh::UploadFailed;
    }
    client.DeleteFTPFile(PageName);
    bool uploadedAll = true;
    for (const QString &name : {PageName, XmlName, StyleSheetName}) {
        if (currentFolder().isEmpty() && !inArchive()) {
            uploadedAll = false;
            break;
        }
        const QString local = localCatalogueFile(name);
        const bool uploaded =
            client.FTPUploadFile(local, name) ||
            (currentFolder().isEmpty() && inArchive() && client.FTPUploadFile(local, name));
        uploadedAll = uploadedAll && uploaded;
    }
    if (stopped())
        return CatalogueRefresh::Stopped;
    if (!uploadedAll)
        state.CatalogueUploadFailed = true;
    return uploadedAll ? CatalogueRefresh::Uploaded : CatalogueRefresh::UploadFailed;
}

CatalogueRefresh buildAndUpload(const std::function<bool()> &stopped)
{
    SharedState &state = Shared();
    cFTP *client = state.FtpClient.get();
    if (!client)
        return CatalogueRefresh::NotBuilt;
    ReadFolderMap(state.CourseName, state.ArchiveName);
    state.ArchiveDir = ConnectionPaths::underHomeDir(state.HomeDir, state.ArchiveDir);
    state.WebRoot =
        ConnectionPaths::underHomeDir(state.HomeDir, CollapseSlashes(u'/' + state.WebRoot));

    std::optional<QString> page;
    for (int attempt = 0; attempt < WalkAttempts && !page && !stopped(); ++attempt)
        page = walkArchive(*client);
    if (stopped())
        return CatalogueRefresh::Stopped;
    if (!page) {
        Platform::setMousePointer(Ui::Pointer::Default);
        TellRefreshFailed();
        return CatalogueRefresh::NotBuilt;
    }
    if (!writeCatalogueFiles(*page))
        return CatalogueRefresh::NotBuilt;
    return uploadCatalogue(*client, stopped);
}

bool never()
{
    return false;
}

} // namespace

CatalogueRefresh RefreshArchive(const std::function<bool()> &stopped)
{
    const std::function<bool()> stop = stopped ? stopped : never;
    if (stop())
        return CatalogueRefresh::Stopped;
    if (currentFolder().isEmpty()) {
        ReadCourseConfig(Shared().CourseName);
        if (!EnsureConnected())
            return CatalogueRefresh::NotBuilt;
    }
    Platform::setMousePointer(Ui::Pointer::Hourglass);
    const CatalogueRefresh refresh = buildAndUpload(stop);
    Platform::setMousePointer(Ui::Pointer::Default);
    return refresh;
}

CatalogueRefresh RefreshArchiveAndReport(const std::function<bool()> &stopped)
{
    const CatalogueRefresh refresh = RefreshArchive(stopped);
    if (refresh == CatalogueRefresh::UploadFailed)
        Shared().CatalogueUploadFailed = false;
    if (refresh == CatalogueRefresh::UploadFailed || refresh == CatalogueRefresh::Stopped)
        TellRefreshFailed();
    return refresh;
}

void TellRefreshFailed()
{
    Platform::messageBox(u"Sorry, you'll have to refresh the archive manually."_s, Ui::Buttons::OK,
                         Ui::Icon::Exclamation, u"Refresh Failed."_s);
}

bool UploadCatalogueAgain()
{
    SharedState &state = Shared();
    state.CatalogueUploadFailed = false;
    cFTP *client = state.FtpClient.get();
    QString archive = CollapseSlashes(state.RemoteDir + u'/');
    archive.chop(1);
    archive.truncate(qMax(archive.lastIndexOf(u'/'), 1));
    // The remote directory names its folders from the login folder.
    archive = ConnectionPaths::underHomeDir(state.HomeDir, archive);
    if (!client || !EnterServerFolder(archive))
        return false;
    bool uploadedAll = true;
    for (const QString &name : {PageName, XmlName, StyleSheetName})
        uploadedAll = client->FTPUploadFile(localCatalogueFile(name), name) && uploadedAll;
    return uploadedAll;
}

bool BuildArchiveCatalogue()
{
    return buildAndUpload(never) != CatalogueRefresh::NotBuilt;
}
