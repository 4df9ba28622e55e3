#include "support/VellixTest.h"

#include "control/frmLogin.h"
#include "course/SharedState.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

using LoginDialogTest = VellixTest;

// The lock shows exactly while Secure is ticked, the password shows stars, and every way out but
// OK cancels the login.
TEST_F(LoginDialogTest, LockShowsWhileSecureIsTickedAndEveryWayOutButOkCancels)
{
    frmLogin dialog;
    dialog.show();
    const auto *lock = dialog.findChild<QLabel *>(u"Image1"_s);
    auto *secure = dialog.findChild<QCheckBox *>(u"chkSecure"_s);
    EXPECT_FALSE(lock->pixmap().isNull());
    EXPECT_FALSE(lock->isVisible());
    QTest::mouseClick(secure, Qt::LeftButton);
    EXPECT_TRUE(lock->isVisible());
    QTest::mouseClick(secure, Qt::LeftButton);
    EXPECT_FALSE(lock->isVisible());
    dialog.setEntries({{}, {}, {}, true});
    EXPECT_TRUE(lock->isVisible());
    // The dialog keeps one size, whatever the lock does.
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());

    auto *password = dialog.findChild<QLineEdit *>(u"txtPassword"_s);
    password->setText(u"pä ss"_s);
    EXPECT_EQ(password->displayText(), u"*****"_s);

    struct Case
    {
        const char *how;
        std::function<void(frmLogin &)> leave;
        bool cancelled;
    };
    const Case cases[] = {
        {"Return",
         [password](frmLogin &) {
             password->setFocus();
             QTest::keyClick(password, Qt::Key_Return);
         },
         false},
        {"Cancel", [](frmLogin &d) { d.findChild<QPushButton *>(u"cmdCancel"_s)->click(); }, true},
        {"Escape", [](frmLogin &d) { QTest::keyClick(&d, Qt::Key_Escape); }, true},
        {"close box", [](frmLogin &d) { d.close(); }, true},
    };
    for (const Case &c : cases) {
        Shared().LoginCancelled = !c.cancelled;
        dialog.show();
        c.leave(dialog);
        EXPECT_EQ(Shared().LoginCancelled, c.cancelled) << c.how;
        EXPECT_FALSE(dialog.isVisible()) << c.how;
    }
}
