#include "ControlTest.h"

#include "course/LoginCipher.h"
#include "course/SharedState.h"
#include "widgets/QtUi.h"
#include "widgets/frmTransfer.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTest>
#include <QThread>

#include <gmock/gmock.h>

using namespace Qt::StringLiterals;

namespace {

// Counts the paint events a widget gets.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

} // namespace

// A program that places the control has windows: without a seam installed over it, its boxes
// are dialogs, not the console's lines.
TEST_F(ControlTest, MadeControlAnswersBoxesWithDialogs)
{
    Platform::Ui *recorder = Platform::Ui::install(nullptr);
    EXPECT_NE(dynamic_cast<QtUi *>(&Platform::Ui::instance()), nullptr);
    Platform::Ui::install(recorder);
}

TEST_F(ControlTest, LeftPressOrTheReadersActionOnThePictureOpensTheFunctionMenu)
{
    control->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(control.get()));
    auto *picture = control->findChild<QLabel *>(u"Image1"_s);
    auto *menu = control->findChild<QMenu *>(u"mnuMenu"_s);
    ASSERT_TRUE(picture && menu);

    Shared().Cipher.reset();
    for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(picture, other);
        QTest::mouseRelease(picture, other);
    }
    EXPECT_FALSE(menu->isVisible());
    EXPECT_FALSE(Shared().Cipher);

    QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000));
    EXPECT_TRUE(Shared().Cipher); // the menu's commands read login data
    EXPECT_LE((menu->pos() - picture->mapToGlobal(QPoint(4, 4))).manhattanLength(), 2);
    menu->hide();

    // A screen reader finds a button named "Functions" whose action opens the menu too.
    QAccessibleInterface *readOut = QAccessible::queryAccessibleInterface(picture);
    ASSERT_TRUE(readOut && readOut->actionInterface());
    EXPECT_EQ(
        QStringList({readOut->text(QAccessible::Name), readOut->text(QAccessible::Description)}),
        QStringList({u"Functions"_s, u"Function Menu"_s}));
    EXPECT_EQ(readOut->role(), QAccessible::ButtonMenu);
    readOut->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000));
    menu->hide();
}

// A long transfer's window: nothing for a file that goes within a second, then, once one
// takes longer, the bar and the meter in the lists' units, the two painted together.
TEST_F(ControlTest, LongTransferShowsItsProgressAfterASecond)
{
    frmTransfer window;
    window.fileStarted(u"quick.txt"_s, TransferViewPort::Direction::Up);
    window.fileProgress(10, 10);
    window.fileEnded();
    QTest::qWait(frmTransfer::ShowAfterMs + 200);
    EXPECT_FALSE(window.isVisible());

    constexpr qint64 Total = 100000000;
    window.fileStarted(u"film.avi"_s, TransferViewPort::Direction::Down);
    window.fileProgress(0, Total);
    EXPECT_FALSE(window.isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isVisible(); }, 5000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // The transfer keeps the message loop waiting (the meter's interval over), then goes on.
    auto *text = window.findChild<QLabel *>(u"lblProgress"_s);
    auto *bar = window.findChild<QProgressBar *>(u"pbTransfer"_s);
    PaintCounter counter(text);
    QThread::msleep(Platform::TransferMeter::IntervalMs + 20);
    window.fileProgress(Total * 76 / 100, Total);
    EXPECT_EQ(bar->value(), 76);
    EXPECT_THAT(text->text().toStdString(), testing::StartsWith("76.0 MB of 100.0 MB  76%"));
    // Painted before the transfer goes on, as the bar is.
    EXPECT_GE(counter.paints, 1);

    // The last figures before the server pauses are shown too, though they came too soon.
    window.fileProgress(Total * 80 / 100, Total);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() == 80; }, 2000));
    EXPECT_THAT(text->text().toStdString(), testing::StartsWith("80.0 MB of 100.0 MB  80%"));

    // A file that continues a cut transfer says where it resumed.
    window.fileStarted(u"film.avi"_s, TransferViewPort::Direction::Down);
    window.fileResumed(Total / 2, Total);
    window.fileProgress(Total * 60 / 100, Total);
    EXPECT_THAT(text->text().toStdString(),
                testing::StartsWith("60.0 MB of 100.0 MB  60%  resumed at 50.0 MB"));

    window.transfersEnded();
    EXPECT_FALSE(window.isVisible());
}
