#include "support/VellixTest.h"
#include "support/WindowWatch.h"

#include "platform/UiRecorder.h"
#include "widgets/QtUi.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

using namespace Platform;
using namespace Qt::StringLiterals;

// Scripted answers and the default button's answer are the tests' daily use, checked where
// boxes are answered (and the default button where the real boxes are).
TEST_F(VellixTest, RecorderAnswersWithTheDefaultsAndGivesTheSeamBack)
{
    EXPECT_EQ(&Ui::instance(), &ui());
    {
        UiRecorder inner; // gives the seam back when it ends
        EXPECT_EQ(&Ui::instance(), &inner);
    }
    EXPECT_EQ(&Ui::instance(), &ui());
    EXPECT_EQ(messageBox(u"a"_s, Ui::Buttons::YesNo), Ui::Answer::Yes);
    EXPECT_EQ(Ui::instance().inputBox(u"Name?"_s, {}, u"x"_s), u"x"_s);

    setMousePointer(Ui::Pointer::Hourglass);
    messageBox(u"busy"_s, Ui::Buttons::OK, Ui::Icon::Critical, u"Own Title"_s);
    // Titles and icons as shown are checked wherever a box's text is; the pointer at the box is
    // the one the host left.
    ASSERT_EQ(ui().boxes().size(), 3);
    EXPECT_EQ(ui().boxes().last().pointer, Ui::Pointer::Hourglass);
}

using QtUiTest = VellixTest;

// A closed box answers Cancel where it is offered.
TEST_F(QtUiTest, BoxesShowWhatTheyAreGivenAndAClosedOneCancels)
{
    QtUi qtUi;
    auto watch = whenWindowShows(u"QMessageBox"_s, [](QWidget &modal) {
        auto *box = qobject_cast<QMessageBox *>(&modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), u"Vellixon"_s);
        EXPECT_EQ(box->text(), u"Illegal Directory!\nCannot use '..'."_s);
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(qtUi.messageBox(u"Illegal Directory!\r\nCannot use '..'."_s, Ui::Buttons::YesNo,
                              Ui::Icon::Exclamation, {}, 2),
              Ui::Answer::Yes);
    watch = whenWindowShows(u"QMessageBox"_s, [](QWidget &modal) { modal.close(); });
    EXPECT_EQ(qtUi.messageBox(u"Go on?"_s, Ui::Buttons::RetryCancel, Ui::Icon::None, u"Title"_s, 1),
              Ui::Answer::Cancel);

    // An input box gives text or nothing.
    watch = whenWindowShows(u"QInputDialog"_s, [](QWidget &modal) {
        auto *dialog = qobject_cast<QInputDialog *>(&modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->textValue(), u"old.txt"_s);
        dialog->setTextValue(u"new.txt"_s);
        dialog->accept();
    });
    EXPECT_EQ(qtUi.inputBox(u"New name:"_s, u"Rename"_s, u"old.txt"_s), u"new.txt"_s);
    watch = whenWindowShows(u"QInputDialog"_s,
                            [](QWidget &modal) { qobject_cast<QDialog *>(&modal)->reject(); });
    EXPECT_EQ(qtUi.inputBox(u"New name:"_s, {}, {}), std::nullopt);
}

TEST_F(QtUiTest, HourglassIsOneOverrideCursorSetOnceAndRemovedOnce)
{
    QtUi qtUi;
    QGuiApplication::setOverrideCursor(Qt::PointingHandCursor); // the host's own
    qtUi.setMousePointer(Ui::Pointer::Hourglass);
    qtUi.setMousePointer(Ui::Pointer::Hourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    qtUi.setMousePointer(Ui::Pointer::Default);
    qtUi.setMousePointer(Ui::Pointer::Default);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
