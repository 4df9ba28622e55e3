#pragma once

// The list operations' suites: a window that shows nothing and remembers what it was told, and
// a session on a real FTP server standing in the course's month folder.

#include "course/SeenBox.h"
#include "operations/RecordingTransferView.h"
#include "servers/ServerModes.h"
#include "support/ConfigTest.h"

#include "course/ConfigStore.h"
#include "course/LocalPaths.h"
#include "course/ServerFolders.h"
#include "course/SharedClient.h"
#include "course/SharedState.h"
#include "course/StartupFolders.h"
#include "operations/FileListModel.h"
#include "operations/ListWindowPort.h"
#include "operations/RemoteFolderListing.h"
#include "operations/SessionOpener.h"
#include "platform/DosPath.h"
#include "transport/cFTP.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using Platform::Ui;
using Box = Platform::UiRecorder::Box;

inline const QString MonthPath = u"/DV/bio/2007/March_2007"_s;
inline const QString LocalFolder = u"C:\\Course\\"_s;

// A list window that shows nothing and remembers what it was told.
class RecordingWindow : public ListWindowPort
{
public:
    FileListModel &model() override { return m_model; }
    TransferViewPort &transferView() override { return transfers; }
    void enterBusy() override { showBusy(true); }
    void leaveBusy() override { showBusy(false); }
    void showWaiting() override {}
    void showBusy(bool shown) override
    {
        busy = shown;
        Shared().BusyFlag = shown;
    }
    bool goesOn() const override { return busy && !stopped; }
    void setBusyIndicatorShown(bool) override {}
    void showStatus(const QString &status) override
    {
        if (onStatus)
            onStatus(status);
    }
    void setArchiveNoticeShown(bool shown) override { notices += shown ? 1 : 0; }
    int selectedRow() const override { return selected; }
    void selectRow(int row) override { selected = row; }
    void scrollToRow(int) override {}
    TransferMode transferMode() const override { return TransferMode::Auto; }
    bool refreshList() override
    {
        if (lister) {
            m_model.setRows(lister());
            return true;
        }
        const RemoteFolderListing::Result listing = RemoteFolderListing::read(QString());
        m_model.setRows(listing.rows);
        return listing.outcome == RemoteFolderListing::Outcome::Listed;
    }
    void computeSize() override {}
    void resetCheckAll() override {}

    int rowOf(const QString &name) const
    {
        for (int i = 0; i < m_model.count(); ++i) {
            if (m_model.row(i).name == name)
                return i;
        }
        return -1;
    }
    void check(const QStringList &names)
    {
        for (const QString &name : names)
            m_model.setChecked(rowOf(name), true);
    }

    // Lists the rows instead of the server folder (a local list).
    std::function<QList<FileRow>()> lister;
    RecordingTransferView transfers;
    bool busy = false;
    bool stopped = false;                          // Exit was pressed
    std::function<void(const QString &)> onStatus; // told every line of the status label
    int selected = -1;
    int notices = 0;

private:
    FileListModel m_model;
};

// A list written as one text, its entries separated by '|'; "" is the empty list.
inline QStringList entries(const char *joined)
{
    return QString::fromUtf8(joined).split(u'|', Qt::SkipEmptyParts);
}

inline QStringList texts(const QList<Box> &boxes)
{
    QStringList list;
    for (const Box &box : boxes)
        list.append(box.text);
    return list;
}

class ListOperationsTest
    : public ConfigTest
    , public testing::WithParamInterface<ServerMode>
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        server = startOrSkip(GetParam(), ServerAccess::LocalFolder);
        if (!server)
            return;
        registerHostProduct();
        QDir().mkpath(server->rootPath() + MonthPath);
        QDir().mkpath(localPath({}));
        writeIni("[bio]\r\nstartMonth=3\r\nstartYear=2007\r\nendMonth=3\r\nendYear=2007\r\n");

        // The preparation of the control's commands, as far as the list needs it.
        SharedState &state = Shared();
        state.RemoteDir = MonthPath;
        SplitSharedRemoteDir();
        FindWindowsDrive();
        ASSERT_TRUE(FindHostFolder());
        ReadCourseConfig(state.CourseName);
        state.Host = state.SiteName = server->site();
        state.UserId = server->user();
        state.Password = server->password();
        state.AllowedExtensions = QStringList{u"txt"_s, u"htm"_s, u"bin"_s, u"pdf"_s};
        CreateSharedClient();
        if (GetParam().passive)
            state.FtpClient->SetModePassive();
        state.Reconnect = [this] {
            ++reconnects;
            return OpenSharedSession();
        };
        ASSERT_TRUE(OpenSharedSession());
        ASSERT_TRUE(EnterMonthFolder());
        reconnects = 0;
        state.MonthFolderPath = state.FtpClient->GetFTPDirectory();
    }

    void TearDown() override
    {
        if (Shared().FtpClient)
            Shared().FtpClient->CloseConnection();
        server.reset();
        ConfigTest::TearDown();
    }

    QString serverPath(const QString &name) const
    {
        return server->rootPath() + MonthPath + u'/' + name;
    }
    QString localPath(const QString &name) const
    {
        return Platform::DosPath::toLinux(LocalFolder + name);
    }
    void serverFile(const QString &name, const QByteArray &bytes) const
    {
        writeFile(serverPath(name), bytes);
    }
    QStringList onServer() const
    {
        return QDir(server->rootPath() + MonthPath).entryList(QDir::Files);
    }
    QStringList onDisk() const { return QDir(localPath({})).entryList(QDir::Files); }

    // Removes every file of the month folder and of the local folder, between the cases of
    // one test; the folders stay, as the session stands in the month folder.
    void emptyBothFolders() const
    {
        for (const QString &folder : {server->rootPath() + MonthPath, localPath({})}) {
            for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files))
                QFile::remove(file.filePath());
        }
    }

    // Lists the month folder into the window.
    void list()
    {
        ASSERT_TRUE(window.refreshList()) << texts(ui().boxes()).join(u" / "_s).toStdString();
    }

    RecordingWindow window;
    std::unique_ptr<FtpTestServer> server;
    int reconnects = 0; // sessions opened again after SetUp
};
