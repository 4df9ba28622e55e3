// The web space window's measuring against real FTP servers on loopback: the levels' totals as
// the labels show them, one listing a folder for the levels inside a wider one, a folder that
// cannot be entered, and a session lost on the way.

#include "operations/ListOperationsTest.h"

#include "operations/WebSpace.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <optional>

using namespace std::chrono_literals;

namespace {

using Texts = std::array<QString, WebSpace::LevelCount>;
const WebSpace::Ticked AllLevels = {true, true, true, true, true};
// What the levels of the site layOutSite() lays out show.
const Texts SiteTexts = {u"1.2 MB  "_s, u"1.2 MB  "_s, u"0.1 MB  "_s, u"100.0 KB  "_s,
                         u"0.0 KB  "_s};

// What the measuring showed a window and did to it.
struct WindowRecord
{
    Texts texts;
    std::array<qint64, WebSpace::LevelCount> bytes{}; // the exact totals beside the labels
    int folders = 0;                                  // one message pump before every folder
    // Acts as the user would, while the messages of the folder counted from 1 run.
    std::function<void(int folder)> atFolder;

    WebSpace::Window window()
    {
        return {
            [this] {
                ++folders;
                if (atFolder)
                    atFolder(folders);
            },
            [](bool) {},
            [this](WebSpace::Level level, qint64 total) {
                texts.at(level) = WebSpace::totalText(total);
                bytes.at(level) = total;
            },
        };
    }
};

} // namespace

class WebSpaceTest : public ListOperationsTest
{
protected:
    void SetUp() override
    {
        ListOperationsTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // A remote directory may end in "/": the month is still its last folder.
        Shared().RemoteDir += u'/';
        space.emplace(record.window());
    }

    // A file below the served folder.
    void file(const QString &path, qint64 size) const
    {
        writeSizedFile(server->rootPath() + path, size);
    }

    // The course site of the label tests: each level holds a total of its own.
    void layOutSite() const
    {
        file(u"/top.bin"_s, 10);
        file(u"/DV/other/deep/movie.bin"_s, 1134567);
        file(u"/DV/bio/notes.txt"_s, 1);
        file(u"/DV/bio/2007/April_2007/lesson.pdf"_s, 99999);
        // The month folder March_2007 stays empty.
    }

    // The listings the server sent since the last look, as its protocol log names them.
    int listingsSinceLastLook()
    {
        const QByteArray log = readFile(server->logPath());
        const QString fresh = QString::fromUtf8(log.mid(m_logSeen));
        m_logSeen = log.size();
        static const QRegularExpression listing(
            u"(<- |FTP command: Client \"[^\"]*\", \")(MLSD|LIST)\\b"_s);
        return int(fresh.count(listing));
    }

    WebSpace::Outcome measure(const WebSpace::Ticked &ticked)
    {
        record.texts = {};
        record.folders = 0;
        return space->measure(ticked);
    }

    WindowRecord record;
    std::optional<WebSpace> space;

private:
    qsizetype m_logSeen = 0;
};

TEST_P(WebSpaceTest, LevelsShowTheirTotalsWalkedOnceAndWhatEndsTheMeasuring)
{
    layOutSite();
    // The whole site is eight folders: /, DV, bio, 2007, March_2007, April_2007, other, deep.
    // Each is entered and listed once, however many levels it belongs to.
    const std::tuple<const char *, WebSpace::Ticked, int> cases[] = {
        {"all levels: the site's walk fills the others", AllLevels, 8},
        {"the host product's folder fills the course and the month",
         {false, true, true, false, true},
         7},
        {"the archive fills its empty month", {false, false, false, true, true}, 3},
        {"the month alone", {false, false, false, false, true}, 1},
        {"no level", {}, 0},
    };
    listingsSinceLastLook();
    for (const auto &[what, ticked, folders] : cases) {
        SCOPED_TRACE(what);
        ui().clear();
        EXPECT_EQ(measure(ticked), WebSpace::Outcome::Measured);
        Texts shown; // a level not ticked shows nothing
        for (int level = 0; level < WebSpace::LevelCount; ++level)
            shown.at(level) = ticked.at(level) ? SiteTexts.at(level) : QString();
        EXPECT_EQ(record.texts, shown);
        EXPECT_EQ(record.folders, folders);
        EXPECT_EQ(listingsSinceLastLook(), folders);
        EXPECT_EQ(ui().mousePointer(), Ui::Pointer::Default);
        EXPECT_TRUE(Shared().StopFlag);
    }
    EXPECT_TRUE(ui().boxes().isEmpty());

    // A session lost on the way is opened again, twice at most.
    const std::tuple<QList<int>, WebSpace::Outcome, int> drops[] = {
        {{2, 5}, WebSpace::Outcome::Measured, 2},
        {{2, 5, 7}, WebSpace::Outcome::Failed, 2},
    };
    for (const auto &[dropsAtFolders, outcome, opened] : drops) {
        SCOPED_TRACE(dropsAtFolders.size());
        reconnects = 0;
        record.atFolder = [&](int folder) {
            if (dropsAtFolders.contains(folder))
                Shared().FtpClient->CloseConnection();
        };
        EXPECT_EQ(measure(AllLevels), outcome);
        EXPECT_EQ(reconnects, opened);
        if (outcome == WebSpace::Outcome::Measured) {
            EXPECT_EQ(record.texts, SiteTexts);
        }
        // The session brought back knows the host product's folder as the levels do.
        EXPECT_EQ(Shared().WebRoot, u"/DV"_s);
        ASSERT_TRUE(OpenSharedSession());
        ASSERT_TRUE(EnterMonthFolder());
    }
    // The status window tells of a failed connect; the walk adds nothing.
    EXPECT_TRUE(ui().boxes().isEmpty());
    record.atFolder = nullptr;

    // A folder that cannot be entered ends the measuring.
    Shared().CourseName = u"gone"_s;
    EXPECT_EQ(measure({false, true, true, true, true}), WebSpace::Outcome::Failed);
    // The host product's folder was counted before the course failed.
    EXPECT_EQ(record.texts, (Texts{QString(), SiteTexts.at(WebSpace::Dovrelle), {}, {}, {}}));
    EXPECT_EQ(seen(ui().boxes()),
              (QList<SeenBox>{{u"Bad Directory."_s, u"Error"_s, Ui::Icon::Critical}}));
    // The login data stays: the window closes, nothing else.
    EXPECT_FALSE(Shared().Password.isEmpty());

    // Folders too deep to measure stop the measuring with a message.
    Shared().CourseName = u"bio"_s;
    ui().clear();
    QString endless = u"/DV/other/deep"_s;
    for (int level = 0; level < ServerFolderWalk::MaxDepth; ++level)
        endless += u"/d"_s;
    file(endless + u"/last.txt"_s, 1);
    EXPECT_EQ(measure(AllLevels), WebSpace::Outcome::Stopped);
    EXPECT_EQ(record.texts, Texts{});
    EXPECT_EQ(seen(ui().boxes()),
              (QList<SeenBox>{{u"The folders inside / go more than 64 levels deep, so Web Space "
                               "stopped measuring.\r\nA folder there may lead back into itself."_s,
                               u"Web Space"_s, Ui::Icon::Exclamation}}));
    EXPECT_TRUE(Shared().StopFlag);
    // The window stays: the levels inside the deep folders can still be measured, each up to
    // the largest total. A file of 4 GiB holds nothing in the listing's low 32 bits, and
    // folders whose names differ only in case both count.
    file(u"/DV/bio/video.mp4"_s, 1LL << 32);
    file(MonthPath + u"/sub/a.bin"_s, 1000000);
    file(MonthPath + u"/SUB/a.bin"_s, 1000000);
    EXPECT_EQ(measure({false, false, true, true, true}), WebSpace::Outcome::Measured);
    EXPECT_EQ(record.texts,
              (Texts{QString(), QString(), u"2,147.5 MB  "_s, u"2.1 MB  "_s, u"2.0 MB  "_s}));
    EXPECT_EQ(record.bytes.at(WebSpace::Course), (1LL << 32) + 2100000);
}

INSTANTIATE_TEST_SUITE_P(Servers, WebSpaceTest, testing::ValuesIn(serverModes()),
                         serverModeParameterName);

// Exit, or the close box, while the walk waits for a server that stops answering a listing or
// sending it: the wait ends at once, and the measuring stops as it does at the next folder,
// without a box or a new session.
using StalledWebSpaceTest = WebSpaceTest;

TEST_P(StalledWebSpaceTest, ExitEndsTheWaitForTheListing)
{
    const std::pair<const char *, std::function<void(WebSpace &)>> ways[] = {
        {"Exit", [](WebSpace &space) { space.exitPressed(); }},
        {"the close box", &WebSpace::closing},
    };
    cFTP &client = *Shared().FtpClient;
    client.setTimeouts({20s, 20s, 20s});
    for (const auto &[what, end] : ways) {
        SCOPED_TRACE(what);
        // The stop before closed the session.
        if (client.GetFTPDirectory().isEmpty()) {
            ASSERT_TRUE(OpenSharedSession() && EnterMonthFolder());
        }
        const qsizetype logged = readFile(server->logPath()).size();
        bool ended = false;
        client.setHooks({.pumpMessages = [&] {
            if (!ended && readFile(server->logPath()).mid(logged).contains("MLSD")) {
                ended = true;
                end(*space);
            }
        }});
        QElapsedTimer waited;
        waited.start();
        EXPECT_EQ(measure({false, false, false, true, true}), WebSpace::Outcome::Stopped);
        client.setHooks({});

        EXPECT_LT(waited.elapsed(), 10000) << "the wait ran to the server's timeout";
        EXPECT_EQ(texts(ui().boxes()), QStringList());
        EXPECT_EQ(reconnects, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scripted, StalledWebSpaceTest,
    testing::Values(ServerMode{FtpTestServer::Kind::Scripted, true, u"stall-after=MLSD"_s},
                    ServerMode{FtpTestServer::Kind::Scripted, false, u"stall-listing"_s}),
    serverModeParameterName);
