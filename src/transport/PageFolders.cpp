#include "transport/PageFolders.h"

#include "platform/DosPath.h"
#include "platform/FileSystemObject.h"
#include "platform/ReplacingFile.h"
#include "transport/ChannelOwner.h"
#include "transport/LocalPath.h"
#include "transport/PageNames.h"
#include "transport/cDirList.h"
#include "transport/cFTP.h"

#include <QFile>

namespace {

const QLatin1Char Backslash('\\');

} // namespace

PageFolders::PageFolders(cFTP &client, ChannelOwner &owner)
    : m_client(client)
    , m_owner(owner)
{}

std::optional<bool> PageFolders::upload(const LocalPath &page, const QString &remote)
{
    const QString localFolder = PageNames::localFolder(page.dosPath());
    const std::optional<Platform::FsoFolder> folder =
        Platform::FileSystemObject().GetFolder(localFolder);
    if (!folder)
        return std::nullopt;

    // An existing server folder is reused, so these results do not matter.
    const QString folderName = PageNames::uploadFolderName(localFolder);
    m_client.SetFTPDirectory(PageNames::serverParent(remote));
    const QString pageFolder = m_client.GetFTPDirectory();
    m_client.CreateFTPDirectory(folderName);
    m_client.SetFTPDirectory(folderName);
    const QList<Platform::FsoFile> files = folder->Files();
    for (const Platform::FsoFile &file : files) {
        m_client.SetTransferBinary();
        if (!PageNames::staysBehind(file.Name()))
            m_client.FTPUploadFile(localFolder + Backslash + file.Name(), file.Name());
        // A cancel ends the whole page's upload, not only the file it came in.
        if (m_owner.cancelRequested())
            return false;
    }
    m_client.SetTransferBinary();
    m_client.SetFTPDirectory(pageFolder);

    // Only the copy's upload makes the page's upload a success. Without a copy the page does
    // not go up at all: its links would name the folder by a name the server does not have.
    const QString copy = makeCopy(page);
    if (copy.isEmpty())
        return false;
    const bool uploaded = m_client.FTPUploadFile(copy, remote);
    Platform::FileSystemObject().DeleteFile(copy);
    return uploaded;
}

QString PageFolders::makeCopy(const LocalPath &page)
{
    const QString oldName = PageNames::localFolderName(page.dosPath());
    const QString newName = PageNames::uploadFolderName(oldName);

    QFile source(page.linuxPath());
    if (source.fileName().isEmpty() || !source.open(QIODevice::ReadOnly))
        return {};
    QByteArray text = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return {};
    PageNames::rewriteFolderName(text, oldName, newName);

    const Platform::FileSystemObject fso;
    const QString copyPath = m_owner.temporaryFolder() + fso.GetTempName();
    const std::unique_ptr<QFile> copy = fso.CreateTextFile(copyPath);
    if (!copy)
        return {};
    if (copy->write(text) != text.size() || !copy->flush()) {
        copy->close();
        fso.DeleteFile(copyPath);
        return {};
    }
    return copyPath;
}

bool PageFolders::remove(const QString &remote)
{
    const QString folder = PageNames::serverFolder(remote);
    const QString pageFolder = m_client.GetFTPDirectory();
    if (!m_client.SetFTPDirectory(folder))
        return false;
    m_client.GetDirectoryListing(QStringLiteral("*"));
    // Held here: deleting a page inside the folder replaces Directory.
    const std::shared_ptr<cDirList> entries = m_client.Directory();
    for (const cDirItem &entry : *entries)
        m_client.DeleteFTPFile(entry.Filename);
    m_client.SetFTPDirectory(pageFolder);
    m_client.RemoveFTPDirectory(folder);
    m_client.GetDirectoryListing(QStringLiteral("*"));
    return true;
}

void PageFolders::download(const LocalPath &page, const QString &remote)
{
    const QString serverFolder = PageNames::serverFolder(remote);
    // The local folder takes the server folder's own name, also when the page was named by
    // a server path.
    const QString &local = page.dosPath();
    const QString localFolder =
        local.left(local.lastIndexOf(Backslash) + 1) + PageNames::downloadFolderName(remote);
    const QString pageFolder = m_client.GetFTPDirectory();
    if (!m_client.SetFTPDirectory(serverFolder))
        return; // nothing to fetch

    m_client.GetDirectoryListing(QStringLiteral("*"));
    const Platform::FileSystemObject fso;
    if (!fso.FolderExists(localFolder))
        fso.CreateFolder(localFolder);
    const std::shared_ptr<cDirList> entries = m_client.Directory();
    for (const cDirItem &entry : *entries) {
        if (entry.Directory)
            continue; // a folder is no file to fetch
        // A server may name a file "..\..\x": such a name is never followed on this side.
        if (!Platform::DosPath::isPlainName(entry.Filename)) {
            m_owner.serverNameRefused(entry.Filename);
            continue;
        }
        const QString localFile = localFolder + Backslash + entry.Filename;
        // A pipe, a device, a socket or a folder the user keeps there is not replaced.
        if (!Platform::ReplacingFile::replaces(Platform::DosPath::toLinux(localFile))) {
            m_owner.localFileRefused(localFile);
            continue;
        }
        m_client.SetTransferBinary();
        m_client.FTPDownloadFile(localFile, entry.Filename);
    }
    m_client.SetTransferASCII();
    m_client.SetFTPDirectory(pageFolder);
    m_client.GetDirectoryListing(QStringLiteral("*"));
}
