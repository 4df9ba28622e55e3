#pragma once

#include <QString>

#include <optional>

class ChannelOwner;
class LocalPath;
class cFTP;

// A web page's companion folder on the plain channel: the folder of pictures and other parts
// a browser saves beside a page under the page's name and "_files", carried along when the
// page is uploaded, downloaded or deleted. Works through the client's own calls, file by file,
// and leaves the client's Directory listing the page's folder. It goes back to the page's folder
// by its path, not by "..": where the companion folder is a link, a server that resolves links
// takes ".." to the folder above the link's target, whose page of the same name is another's.
class PageFolders
{
public:
    PageFolders(cFTP &client, ChannelOwner &owner);

    // Uploads the companion folder and then the page, as a copy that names the folder as the
    // server has it. Nothing when the page has no companion folder (the caller then sends the
    // page alone); else whether the page went up.
    std::optional<bool> upload(const LocalPath &page, const QString &remote);
    // Deletes the server's companion folder of a page; false when there is none.
    bool remove(const QString &remote);
    // Fetches the server's companion folder of a page into a folder beside the local page.
    void download(const LocalPath &page, const QString &remote);

private:
    // A copy of the page in the temporary folder, naming its folder by the server's name; its
    // DOS path, or empty when it could not be made.
    QString makeCopy(const LocalPath &page);

    cFTP &m_client;
    ChannelOwner &m_owner;
};
