// The chooser window as a teacher moves through it: a drive whose folder is gone, folders
// entered by a double click (and remembered for the course), a file's details, and OK or Exit.

#include "support/ConfigTest.h"
#include "support/DarkPalette.h"

#include "chooser/frmDir.h"
#include "course/SharedState.h"
#include "platform/DosPath.h"
#include "platform/Prefix.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

using namespace Qt::StringLiterals;

class frmDirTest : public ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        writeIni("[bio]\r\nlldir=C:\\Old\\\r\n");
        Shared().CourseName = u"bio"_s;
        Shared().LastLocalDir = u"C:\\Course\\"_s;
        writeFile(Platform::DosPath::toLinux(u"C:\\Course\\notes.txt"_s), "notes");
        writeFile(Platform::DosPath::toLinux(u"C:\\Course\\Week 1\\sheet.pdf"_s),
                  QByteArray(1500, 'p'));
        QFile::link(tempPath(u"gone"_s), Platform::Prefix::path(u"dosdevices/d:"_s));
        chooser = std::make_unique<frmDir>(nullptr);
    }

    template<typename T>
    T *child(const char *name)
    {
        return chooser->findChild<T *>(QLatin1String(name));
    }
    QStringList shown()
    {
        QStringList names;
        for (int row = 0; row < child<QListWidget>("List2")->count(); ++row)
            names.append(child<QListWidget>("List2")->item(row)->text());
        return names;
    }
    QString text(const char *label) { return child<QLabel>(label)->text(); }

    std::unique_ptr<frmDir> chooser;
};

TEST_F(frmDirTest, MovesThroughDrivesFoldersAndFiles)
{
    // It starts in the course's last folder.
    EXPECT_EQ(text("lblFile"), u"C:\\Course\\"_s);
    EXPECT_EQ(shown(), QStringList{u"notes.txt"_s});

    // A drive whose folder is gone is offered, but entering it says why it cannot be.
    auto *drives = child<QComboBox>("Drive1");
    ASSERT_GE(drives->findText(u"d:"_s), 0);
    drives->setCurrentIndex(drives->findText(u"d:"_s));
    Q_EMIT drives->activated(drives->currentIndex());
    ASSERT_EQ(ui().boxes().size(), 1);
    EXPECT_TRUE(ui().boxes().at(0).text.startsWith(u"Drive D: cannot be read."_s));
    EXPECT_EQ(drives->currentText(), u"c:"_s);
    EXPECT_EQ(text("lblFile"), u"C:\\Course\\"_s);

    // A double click enters a folder, which the course remembers.
    auto *folders = child<QListWidget>("Dir1");
    const QList<QListWidgetItem *> week = folders->findItems(u"Week 1"_s, Qt::MatchContains);
    ASSERT_EQ(week.size(), 1);
    Q_EMIT folders->itemDoubleClicked(week.first());
    EXPECT_EQ(text("lblFile"), u"C:\\Course\\Week 1\\"_s);
    EXPECT_EQ(shown(), QStringList{u"sheet.pdf"_s});
    EXPECT_TRUE(readFile(iniPath()).contains("lldir=C:\\Course\\Week 1\\"));

    // A deep folder is cut in its label instead of widening the window past the screen.
    const int width = chooser->minimumSizeHint().width();
    const QString deep = u"C:\\Course\\"_s + u"lessons of the spring term\\"_s.repeated(8);
    ASSERT_TRUE(QDir().mkpath(Platform::DosPath::toLinux(deep)));
    ASSERT_TRUE(chooser->showPath(deep));
    EXPECT_EQ(chooser->minimumSizeHint().width(), width);
    ASSERT_TRUE(chooser->showPath(u"C:\\Course\\Week 1\\"_s));

    // A click shows the file's details (its size is the host's chooser scenario's), OK hands it
    // back.
    auto *files = child<QListWidget>("List2");
    files->setCurrentRow(0);
    Q_EMIT files->itemClicked(files->item(0));
    EXPECT_FALSE(text("lblDate").isEmpty());
    // The date's red archive notice gone, the date takes the desktop's colours again, also those
    // of a colour scheme chosen afterwards.
    chooser->setArchiveNoticeShown(true);
    chooser->setArchiveNoticeShown(false);
    const DarkPalette dark;
    QCoreApplication::processEvents(); // the window hears of the new colours
    EXPECT_EQ(child<QLabel>("lblDate")->palette().color(QPalette::WindowText).name(),
              QApplication::palette().color(QPalette::WindowText).name());
    child<QPushButton>("cmdOK")->click();
    EXPECT_EQ(chooser->chosenPath(), u"C:\\Course\\Week 1\\sheet.pdf"_s);
    EXPECT_EQ(Shared().LastLocalDir, u"C:\\Course\\Week 1\\sheet.pdf"_s);

    // Exit chooses nothing.
    child<QPushButton>("cmdCancel")->click();
    EXPECT_TRUE(chooser->chosenPath().isEmpty());
    EXPECT_FALSE(Shared().AbortFlag);
}

// Characters that would make a name read as another show written out; the file and folder
// keep their real names. A name running past the file list's edge shows whole in a tool tip;
// over a name that fits the list's own tip shows.
TEST_F(frmDirTest, HiddenCharactersShowWrittenOutAndALongNameInAToolTip)
{
    const QString file = u"C:\\Course\\invoice\u202Efdp.exe"_s;
    writeFile(Platform::DosPath::toLinux(file), "x");
    ASSERT_TRUE(QDir().mkpath(Platform::DosPath::toLinux(u"C:\\Course\\Week\u200B2"_s)));
    const QString longName = u"notes on the lesson whose name runs on and on, far past the edge "
                             u"of the file list.txt"_s;
    writeFile(Platform::DosPath::toLinux(u"C:\\Course\\"_s + longName), "n");
    ASSERT_TRUE(chooser->showPath(file));
    chooser->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chooser.get()));
    auto *files = child<QListWidget>("List2");
    const auto tipOver = [files](const QString &name) {
        const QList<QListWidgetItem *> found = files->findItems(name, Qt::MatchExactly);
        if (found.size() != 1)
            return u"no row "_s + name;
        const QRect row = files->visualItemRect(found.first());
        const QPoint at(row.left() + 10, row.center().y());
        QHelpEvent help(QEvent::ToolTip, at, files->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(files->viewport(), &help);
        return QToolTip::text();
    };
    EXPECT_EQ(tipOver(u"notes.txt"_s), u"Double-Click to select file"_s);
    EXPECT_EQ(tipOver(longName), longName);

    EXPECT_TRUE(shown().contains(u"invoice\\u{202E}fdp.exe"_s)) << shown().join(u' ').toStdString();
    EXPECT_EQ(chooser->selectedName(), u"invoice\u202Efdp.exe"_s);
    child<QPushButton>("cmdOK")->click();
    EXPECT_EQ(chooser->chosenPath(), file);

    auto *folders = child<QListWidget>("Dir1");
    const QList<QListWidgetItem *> week =
        folders->findItems(u"Week\\u{200B}2"_s, Qt::MatchEndsWith);
    ASSERT_EQ(week.size(), 1);
    Q_EMIT folders->itemDoubleClicked(week.first());
    EXPECT_EQ(text("lblFile"), u"C:\\Course\\Week\u200B2\\"_s);
}
