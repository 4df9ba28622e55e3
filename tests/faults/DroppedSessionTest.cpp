// Every command that changes the server, with its session dropped right after one of the
// commands that delete, rename, store or change the folder: the server's answer delivered and
// then the connection closed, or the command carried out and its answer lost with the
// connection. Whatever the drop, nothing is written or deleted outside the archive folder and
// the month folder (decoys of the same names lie where a wrong web root would lead), what the
// user is told agrees with what the server holds, and a catalogue not reported as failed lists
// the month folder as it is.

#include "operations/ListOperationsTest.h"

#include "control/Vellix.h"
#include "control/frmMsg.h"
#include "course/ArchiveCatalogue.h"
#include "operations/ChooserOperations.h"
#include "operations/LocalFileOperations.h"
#include "operations/RecordingChooser.h"
#include "operations/RemoteFileOperations.h"

#include <QMap>
#include <QPushButton>

#include <iostream>

namespace {

enum class Operation { Delete, Rename, CopyUp, Upload, Catalogue, LocalRename, ChooserDelete };
const char *const OperationNames[] = {"Delete",    "Rename",      "CopyUp",       "Upload",
                                      "Catalogue", "LocalRename", "ChooserDelete"};

// The operation; drop-after: answered, then closed, or lose-reply: done, answer lost; the verb.
using Drop = std::tuple<Operation, const char *, const char *>;

std::string dropName(const testing::TestParamInfo<Drop> &info)
{
    const auto [operation, mode, verb] = info.param;
    std::string name = std::string(OperationNames[int(operation)]) + '_' + mode + '_' + verb;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

const QString ArchivePath = u"/DV/bio/2007"_s;

} // namespace

class DroppedSessionTest
    : public ConfigTest
    , public testing::WithParamInterface<Drop>
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        frmMsg::setConnectDelay(0);
        faultFile = tempPath(u"fault"_s);
        server = FtpTestServer::startFaulty({.faultFile = faultFile});
        ASSERT_TRUE(server);
        registerHostProduct();
        writeIni("[bio]\r\nstartMonth=3\r\nstartYear=2007\r\nendMonth=3\r\nendYear=2007\r\n");
        ASSERT_TRUE(
            WriteLoginData(u"bio"_s, server->site(), server->user(), server->password(), false));
        // The control installs its status window as the way back into a dropped session.
        control = std::make_unique<Vellix>();
        control->setRdir(MonthPath);
        layOut();
    }

    void TearDown() override
    {
        control.reset();
        server.reset();
        frmMsg::setConnectDelay(frmMsg::DefaultConnectDelayMs);
        ConfigTest::TearDown();
    }

    QString onServer(const QString &path) const { return server->rootPath() + path; }

    // Every file on the server, by its server path, with its content.
    QMap<QString, QByteArray> serverFiles() const
    {
        QMap<QString, QByteArray> files;
        for (const QString &path : filesBelow(server->rootPath()))
            files.insert(u'/' + path, readFile(onServer(u'/' + path)));
        return files;
    }

    // The course's files, and decoys where a web root that lost its host product's folder
    // would lead: the login folder, and a course folder of the same name at the top.
    void layOut() const
    {
        for (const QString &folder : {MonthPath, u""_s, u"/bio/2007/March_2007"_s}) {
            writeFile(onServer(folder + u"/victim.txt"_s), "delete me");
            writeFile(onServer(folder + u"/old.txt"_s), "rename me");
            writeFile(onServer(folder + u"/keep.txt"_s), "stays");
        }
        writeFile(onServer(u"/index.htm"_s), "the login folder's own page");
        writeFile(onServer(u"/bio/2007/index.htm"_s), "another site's catalogue");
        writeFile(onServer(ArchivePath + u"/index.htm"_s), "the stale catalogue");
        writeFile(Platform::DosPath::toLinux(LocalFolder + u"up.txt"_s), "a new lesson");
    }

    // The session of a list window, as the control's command leaves it.
    void openSession()
    {
        SharedState &state = Shared();
        state.RemoteDir = MonthPath;
        SplitSharedRemoteDir();
        FindWindowsDrive();
        ASSERT_TRUE(FindHostFolder());
        ReadCourseConfig(state.CourseName);
        state.AllowedExtensions = QStringList{u"txt"_s, u"htm"_s};
        state.DvValue = 1;
        ASSERT_TRUE(OpenSharedSession());
        ASSERT_TRUE(EnterMonthFolder());
        state.MonthFolderPath = state.FtpClient->GetFTPDirectory();
        state.ArchiveDir = ArchivePath;
        ASSERT_TRUE(window.refreshList());
    }

    void arm() const
    {
        writeFile(faultFile,
                  QByteArray(std::get<1>(GetParam())) + ' ' + std::get<2>(GetParam()) + '\n');
    }

    void run()
    {
        const Operation operation = std::get<0>(GetParam());
        if (operation == Operation::Upload) {
            control->loadfunc(&host);
            control->setText(LocalFolder + u"up.txt"_s);
            arm();
            control->findChild<QPushButton *>(u"cmdUpload"_s)->click();
            return;
        }
        openSession();
        window.busy = true;
        arm();
        switch (operation) {
        case Operation::Delete:
            ui().answer(Ui::Answer::Yes);
            window.check({u"victim.txt"_s});
            RemoteFileOperations(window, LocalFolder).deleteChecked();
            break;
        case Operation::Rename:
            ui().answerInput(u"new.txt"_s);
            window.selectRow(window.rowOf(u"old.txt"_s));
            RemoteFileOperations(window, LocalFolder).renamefile();
            break;
        case Operation::CopyUp:
            window.lister = [] { return QList<FileRow>{FileRow::listed(u"up.txt"_s, 12, {})}; };
            window.refreshList();
            window.check({u"up.txt"_s});
            LocalFileOperations(window, LocalFolder).copyUp(false);
            break;
        case Operation::Catalogue:
            refresh = RefreshArchive();
            break;
        case Operation::LocalRename:
            // The session drops again while the user reads the question.
            writeFile(Platform::DosPath::toLinux(LocalFolder + u"old.txt"_s), "rename me");
            window.lister = [] { return QList<FileRow>{FileRow::listed(u"old.txt"_s, 9, {})}; };
            window.refreshList();
            window.selectRow(0);
            ui().answerInput(u"new.txt"_s);
            ui().answer(Ui::Answer::Yes);
            ui().onBox = [this](const Box &box) {
                if (box.buttons == Ui::Buttons::YesNo)
                    arm();
            };
            LocalFileOperations(window, LocalFolder).renamefile();
            break;
        case Operation::ChooserDelete: {
            writeFile(Platform::DosPath::toLinux(LocalFolder + u"victim.txt"_s), "delete me");
            RecordingChooser chooser;
            chooser.selected = u"victim.txt"_s;
            ui().answer(Ui::Answer::Yes);
            ui().answer(Ui::Answer::Yes);
            ChooserOperations(chooser).remove();
            break;
        }
        case Operation::Upload:
            break;
        }
    }

    bool boxSays(const QString &text) { return texts(ui().boxes()).join(u'\n').contains(text); }

    std::unique_ptr<FtpTestServer> server;
    std::unique_ptr<Vellix> control;
    RecordingWindow window;
    QObject host;
    QString faultFile;
    CatalogueRefresh refresh = CatalogueRefresh::NotBuilt;
};

TEST_P(DroppedSessionTest, ChangesStayInTheArchiveAndTheReportsTellTheTruth)
{
    const QMap<QString, QByteArray> before = serverFiles();
    run();
    const QMap<QString, QByteArray> after = serverFiles();
    std::cout << testing::UnitTest::GetInstance()->current_test_info()->name() << ": "
              << texts(ui().boxes()).join(u" / "_s).toStdString() << std::endl;
    ASSERT_FALSE(QFile::exists(faultFile)) << "the session never dropped";

    for (const QString &path : before.keys() + after.keys()) {
        const QString folder = path.left(path.lastIndexOf(u'/'));
        const bool changed = before.value(path) != after.value(path) ||
                             before.contains(path) != after.contains(path);
        EXPECT_TRUE(!changed || folder == ArchivePath || folder == MonthPath) << path.toStdString();
    }

    const auto present = [&](const QString &name) {
        return after.contains(MonthPath + u'/' + name);
    };
    switch (std::get<0>(GetParam())) {
    case Operation::ChooserDelete:
        EXPECT_FALSE(present(u"victim.txt"_s));
        EXPECT_TRUE(boxSays(u"was successfully deleted from the website"_s));
        break;
    case Operation::Delete:
        EXPECT_FALSE(present(u"victim.txt"_s));
        EXPECT_FALSE(boxSays(u"could not be deleted"_s));
        EXPECT_TRUE(boxSays(u"Delete Operation is Complete!"_s));
        break;
    case Operation::Rename:
    case Operation::LocalRename:
        EXPECT_TRUE(present(u"new.txt"_s));
        EXPECT_FALSE(present(u"old.txt"_s));
        EXPECT_FALSE(boxSays(u"Error in renaming file"_s));
        break;
    case Operation::CopyUp:
        EXPECT_EQ(after.value(MonthPath + u"/up.txt"_s), "a new lesson");
        EXPECT_FALSE(boxSays(u"cannot copy to the server"_s));
        break;
    case Operation::Upload:
        // An upload whose answer was lost may be told as failed, never the other way round.
        if (boxSays(u"was successfully uploaded"_s))
            EXPECT_EQ(after.value(MonthPath + u"/up.txt"_s), "a new lesson");
        else
            EXPECT_TRUE(boxSays(u"failed to upload"_s));
        break;
    case Operation::Catalogue:
        EXPECT_EQ(refresh == CatalogueRefresh::Uploaded,
                  !Shared().CatalogueUploadFailed && !boxSays(u"Refresh Failed"_s));
        break;
    }

    // A catalogue not reported as failed is the month folder's as it now is.
    const bool rebuilt =
        std::get<0>(GetParam()) != Operation::Upload || boxSays(u"was successfully uploaded"_s);
    if (rebuilt && !Shared().CatalogueUploadFailed && !boxSays(u"refresh the archive manually"_s)) {
        const QByteArray catalogue = after.value(ArchivePath + u"/index.htm"_s);
        for (const QString &name :
             {u"victim.txt"_s, u"old.txt"_s, u"new.txt"_s, u"keep.txt"_s, u"up.txt"_s}) {
            EXPECT_EQ(catalogue.contains(name.toUtf8()), present(name))
                << name.toStdString() << " in " << catalogue.left(200).toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Drops, DroppedSessionTest,
    testing::Combine(testing::Values(Operation::Delete, Operation::Rename, Operation::CopyUp,
                                     Operation::Upload, Operation::Catalogue,
                                     Operation::LocalRename, Operation::ChooserDelete),
                     testing::Values("drop-after", "lose-reply"),
                     testing::Values("DELE", "RNTO", "STOR", "CWD")),
    dropName);
