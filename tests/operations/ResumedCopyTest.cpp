// Copy Down, Copy Up and the chooser's upload of a file whose first transfer the server cuts,
// losing the session with it: the window's next attempt opens the session again, enters the list's
// folder and continues the partial that the cut one left, so only the rest of the file moves again,
// and the copy is whole.

#include "operations/ListOperationsTest.h"

#include "operations/ChooserOperations.h"
#include "operations/LocalFileOperations.h"
#include "operations/RecordingChooser.h"
#include "operations/RemoteFileOperations.h"
#include "transport/Resume.h"

namespace {

constexpr qint64 CutAt = ResumeThreshold;
constexpr qint64 Size = ResumeThreshold * 3 / 2;
const QString Name = u"lesson.bin"_s;

} // namespace

class ResumedCopyTest : public ListOperationsTest
{
protected:
    // What both directions show: one cut transfer, one new session, the window's transfer
    // view told where the next transfer resumed (a download keeps the whole blocks that came),
    // that transfer moving the rest, and the copy as the user was told.
    void expectResumed(const QString &copy, const RecordingTransferView &transfers,
                       const QStringList &boxes = {u"Copy Operation is Complete!"_s})
    {
        EXPECT_EQ(reconnects, 1);
        ASSERT_EQ(transfers.resumedAt.size(), 1);
        const qint64 at = transfers.resumedAt.first();
        EXPECT_GT(at, CutAt - cFTP::BlockSize);
        EXPECT_EQ(movedBytes(server->logPath()).mid(0, 2), (QList<qint64>{CutAt, Size - at}));
        EXPECT_TRUE(readFile(copy) == content); // unprinted: a megabyte and a half
        EXPECT_EQ(texts(ui().boxes()), boxes);
    }

    const QByteArray content = patterned(Size);
};

TEST_P(ResumedCopyTest, CopyDownContinuesTheCutFile)
{
    serverFile(Name, content);
    list();
    window.check({Name});
    RemoteFileOperations(window, LocalFolder).copyDown();
    expectResumed(localPath(Name), window.transfers);
}

TEST_P(ResumedCopyTest, CopyUpContinuesTheCutFile)
{
    writeFile(localPath(Name), content);
    window.lister = [this] {
        return QList<FileRow>{FileRow::listed(Name, Size, QDateTime::currentDateTime())};
    };
    list();
    window.check({Name});
    LocalFileOperations(window, LocalFolder).copyUp(false);
    expectResumed(serverPath(Name), window.transfers);
}

TEST_P(ResumedCopyTest, ChooserUploadContinuesTheCutFile)
{
    writeFile(localPath(Name), content);
    Shared().CapacityLimit = 10;
    RecordingChooser chooser;
    chooser.selected = Name;
    ChooserOperations(chooser).upload();
    expectResumed(serverPath(Name), chooser.transfers, {});
}

INSTANTIATE_TEST_SUITE_P(Scripted, ResumedCopyTest,
                         testing::Values(ServerMode{FtpTestServer::Kind::Scripted, true,
                                                    u"lose-once=%1"_s.arg(CutAt)}),
                         serverModeParameterName);
