#include "ControlTest.h"

#include "control/TransferStatusWindow.h"
#include "course/LoginCipher.h"
#include "course/SharedState.h"

#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTest>

TEST_F(ControlTest, LeftPressOnThePictureOpensTheFunctionMenu)
{
    control->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(control.get()));
    auto *picture = control->findChild<QLabel *>(QStringLiteral("Image1"));
    auto *menu = control->findChild<QMenu *>(QStringLiteral("mnuMenu"));
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
}

// A long upload's status window: nothing for the first second, then the bar and the meter.
TEST_F(ControlTest, LongUploadShowsItsProgressAfterASecond)
{
    TransferStatusWindow status(QStringLiteral("film.avi"));
    constexpr qint64 Total = 100ll << 20;
    status.showProgress(0, Total);
    EXPECT_FALSE(status.isVisible());
    QTest::qWait(TransferStatusWindow::ShowAfterMs + 50);
    status.showProgress(Total / 2, Total);
    ASSERT_TRUE(status.isVisible());
    EXPECT_EQ(status.findChild<QProgressBar *>(QStringLiteral("pbTransfer"))->value(), 50);
    EXPECT_TRUE(status.findChild<QLabel *>(QStringLiteral("lblProgress"))
                    ->text()
                    .startsWith(QStringLiteral("50.0 MiB of 100.0 MiB  50%")));
}
