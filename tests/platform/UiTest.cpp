#include "support/VellixTest.h"
#include "support/WindowWatch.h"

#include "platform/UiRecorder.h"
#include "widgets/QtUi.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

using namespace Platform;

TEST_F(VellixTest, RecorderAnswersWithDefaultButtonUnlessScripted)
{
    EXPECT_EQ(&Ui::instance(), &ui());
    {
        UiRecorder inner; // gives the seam back when it ends
        EXPECT_EQ(&Ui::instance(), &inner);
    }
    EXPECT_EQ(&Ui::instance(), &ui());
    EXPECT_EQ(messageBox(QStringLiteral("a"), Ui::Buttons::YesNo), Ui::Answer::Yes);
    EXPECT_EQ(messageBox(QStringLiteral("b"), Ui::Buttons::YesNoCancel, Ui::Icon::Question, {}, 3),
              Ui::Answer::Cancel);
    ui().answer(Ui::Answer::No);
    EXPECT_EQ(messageBox(QStringLiteral("c"), Ui::Buttons::YesNo), Ui::Answer::No);
    ui().answerInput(std::nullopt);
    EXPECT_EQ(Ui::instance().inputBox(QStringLiteral("Name?")), std::nullopt);
    EXPECT_EQ(Ui::instance().inputBox(QStringLiteral("Name?"), {}, QStringLiteral("x")),
              QStringLiteral("x"));

    setMousePointer(Ui::Pointer::Hourglass);
    messageBox(QStringLiteral("busy"), Ui::Buttons::OK, Ui::Icon::Critical,
               QStringLiteral("Own Title"));
    ASSERT_EQ(ui().boxes().size(), 6);
    EXPECT_EQ(ui().boxes().first().title, QStringLiteral("Vellixon"));
    EXPECT_EQ(ui().boxes().first().pointer, Ui::Pointer::Default);
    const auto &last = ui().boxes().last();
    EXPECT_EQ(last.title, QStringLiteral("Own Title"));
    EXPECT_EQ(last.icon, Ui::Icon::Critical);
    EXPECT_EQ(last.pointer, Ui::Pointer::Hourglass);
}

class QtUiTest : public VellixTest
{
protected:
    QtUi qtUi;
};

// A closed box answers Cancel where it is offered.
TEST_F(QtUiTest, MessageBoxShowsTitleIconLinesAndDefaultButtonAndAClosedOneCancels)
{
    auto watch = whenWindowShows(QStringLiteral("QMessageBox"), [](QWidget &modal) {
        auto *box = qobject_cast<QMessageBox *>(&modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Vellixon"));
        EXPECT_EQ(box->text(), QStringLiteral("Illegal Directory!\nCannot use '..'."));
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(qtUi.messageBox(QStringLiteral("Illegal Directory!\r\nCannot use '..'."),
                              Ui::Buttons::YesNo, Ui::Icon::Exclamation, {}, 2),
              Ui::Answer::Yes);
    watch = whenWindowShows(QStringLiteral("QMessageBox"), [](QWidget &modal) { modal.close(); });
    EXPECT_EQ(qtUi.messageBox(QStringLiteral("Go on?"), Ui::Buttons::RetryCancel, Ui::Icon::None,
                              QStringLiteral("Title"), 1),
              Ui::Answer::Cancel);
}

TEST_F(QtUiTest, InputBoxGivesTextOrNothing)
{
    auto watch = whenWindowShows(QStringLiteral("QInputDialog"), [](QWidget &modal) {
        auto *dialog = qobject_cast<QInputDialog *>(&modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->textValue(), QStringLiteral("old.txt"));
        dialog->setTextValue(QStringLiteral("new.txt"));
        dialog->accept();
    });
    EXPECT_EQ(qtUi.inputBox(QStringLiteral("New name:"), QStringLiteral("Rename"),
                            QStringLiteral("old.txt")),
              QStringLiteral("new.txt"));
    watch = whenWindowShows(QStringLiteral("QInputDialog"),
                            [](QWidget &modal) { qobject_cast<QDialog *>(&modal)->reject(); });
    EXPECT_EQ(qtUi.inputBox(QStringLiteral("New name:"), {}, {}), std::nullopt);
}

TEST_F(QtUiTest, HourglassIsOneOverrideCursorSetOnceAndRemovedOnce)
{
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
