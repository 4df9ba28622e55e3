#include "course/ArchiveCatalogue.h"

#include "VellixonVersion.h"
#include "course/CataloguePage.h"
#include "course/CatalogueText.h"
#include "course/ConfigStore.h"
#include "course/ConnectionPaths.h"
#include "course/ServerFolders.h"
#include "course/SharedState.h"
#include "platform/DosPath.h"
#include "platform/Ui.h"
#include "platform/Windows1252.h"
#include "transport/cDirList.h"
#include "transport/cFTP.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;
using Platform::Ui;

namespace {

const QString Parent = u".."_s;
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

// A folder's column: its files when the folder can be entered, after which the client goes
// back to the archive folder.
void appendFolderColumn(cFTP &client, CataloguePage &page, const QString &folder, bool entered)
{
    const std::shared_ptr<cDirList> listing =
        entered ? client.GetDirectoryListing(u"*"_s) : nullptr;
    page.AppendColumn(folder, listing.get());
    if (entered)
        client.SetFTPDirectory(Parent);
}

// Every month of the period gets its column, with a header even when its folder is missing.
void appendMonthColumns(cFTP &client, CataloguePage &page)
{
    const SharedState &state = Shared();
    const QStringList months =
        CatalogueMonthFolders(state.StartMonth, state.StartYear, state.EndMonth, state.EndYear);
    for (const QString &month : months)
        appendFolderColumn(client, page, month, client.SetFTPDirectory(month));
}

// Only the named folders that exist get a column.
void appendNamedColumns(cFTP &client, CataloguePage &page)
{
    for (const QString &name : Shared().FolderNames) {
        if (!name.isEmpty() && client.SetFTPDirectory(name))
            appendFolderColumn(client, page, name, true);
    }
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(Platform::Windows1252::encodeWithCharacterReferences(text + LineEnd));
    return file.commit();
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
        if (!writeCatalogueFile(name, text)) {
            Platform::setMousePointer(Ui::Pointer::Default);
            Platform::messageBox(u"The archive catalogue could not be written to "_s +
                                     localCatalogueFile(name) + u'.',
                                 Ui::Buttons::OK, Ui::Icon::Critical);
            return false;
        }
    }
    return true;
}

// The page is deleted on the server first so that its companion folder goes with it; the
// other two files are simply replaced.
void uploadCatalogue(cFTP &client)
{
    SharedState &state = Shared();
    state.CancelRequest = false;
    const QString archive = archiveFolderPath();
    if (!client.SetFTPDirectory(archive))
        return;
    client.DeleteFTPFile(PageName);
    if (client.GetFTPDirectory().isEmpty()) {
        EnsureConnected();
        client.SetFTPDirectory(archive);
    }
    for (const QString &name : {PageName, XmlName, StyleSheetName}) {
        if (!client.FTPUploadFile(localCatalogueFile(name), name))
            state.CatalogueUploadFailed = true;
    }
}

} // namespace

void RefreshArchive()
{
    if (currentFolder().isEmpty()) {
        ReadCourseConfig(Shared().CourseName);
        if (currentFolder().isEmpty())
            EnsureConnected();
        if (currentFolder().isEmpty())
            return;
    }
    Platform::setMousePointer(Ui::Pointer::Hourglass);
    BuildArchiveCatalogue();
    Platform::setMousePointer(Ui::Pointer::Default);
}

bool BuildArchiveCatalogue()
{
    SharedState &state = Shared();
    cFTP *client = state.FtpClient.get();
    if (!client)
        return false;
    ReadFolderMap(state.CourseName, state.ArchiveName);
    state.ArchiveDir = ConnectionPaths::underHomeDir(state.HomeDir, state.ArchiveDir);
    state.WebRoot =
        ConnectionPaths::underHomeDir(state.HomeDir, CollapseSlashes(u'/' + state.WebRoot));
    client->SetFTPDirectory(state.ArchiveDir);

    CataloguePage page(catalogueTexts());
    if (state.NamedFolders)
        appendNamedColumns(*client, page);
    else
        appendMonthColumns(*client, page);
    if (!writeCatalogueFiles(page.Finish()))
        return false;
    uploadCatalogue(*client);
    return true;
}
