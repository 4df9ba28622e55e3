#include "support/VellixTest.h"

#include "control/SharedState.h"
#include "control/frmLogin.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

class LoginDialogTest : public VellixTest
{
protected:
    template<typename T>
    T *child(const char *name)
    {
        return dialog.findChild<T *>(QLatin1String(name));
    }

    frmLogin dialog;
};

TEST_F(LoginDialogTest, LabelsLeadToTheirBoxes)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Login"));
    EXPECT_EQ(child<QLineEdit>("txtPassword")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(child<QCheckBox>("chkSecure")->text(), QStringLiteral("Secure FTP"));
    EXPECT_TRUE(child<QPushButton>("cmdOK")->isDefault());

    const std::pair<QString, const char *> rows[] = {
        {QStringLiteral("&Site "), "txtSiteName"},
        {QStringLiteral("&User Name:"), "txtUserName"},
        {QStringLiteral("&Password:"), "txtPassword"},
    };
    const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
    for (const auto &[text, box] : rows) {
        const auto label = std::find_if(labels.begin(), labels.end(),
                                        [&](const QLabel *l) { return l->text() == text; });
        ASSERT_NE(label, labels.end()) << text.toStdString();
        EXPECT_EQ((*label)->buddy(), child<QLineEdit>(box)) << box;
    }

    // The mnemonics reach the boxes.
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const std::pair<Qt::Key, const char *> mnemonics[] = {
        {Qt::Key_U, "txtUserName"}, {Qt::Key_P, "txtPassword"}, {Qt::Key_S, "txtSiteName"}};
    for (const auto &[key, box] : mnemonics) {
        QTest::keyClick(&dialog, key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(box)) << box;
    }
}

TEST_F(LoginDialogTest, LockShowsExactlyWhileSecureIsTicked)
{
    dialog.show();
    const auto *lock = child<QLabel>("Image1");
    auto *secure = child<QCheckBox>("chkSecure");
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
}

TEST_F(LoginDialogTest, EveryWayOutButOkCancelsTheLogin)
{
    struct Case
    {
        const char *how;
        std::function<void(frmLogin &)> leave;
        bool cancelled;
    };
    const auto click = [](const char *name) {
        return [name](frmLogin &d) {
            QTest::mouseClick(d.findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
        };
    };
    const Case cases[] = {
        {"Return",
         [](frmLogin &d) {
             auto *password = d.findChild<QLineEdit *>(QStringLiteral("txtPassword"));
             password->setFocus();
             QTest::keyClick(password, Qt::Key_Return);
         },
         false},
        {"OK", click("cmdOK"), false},
        {"Cancel", click("cmdCancel"), true},
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

TEST_F(LoginDialogTest, GivesBackWhatWasTyped)
{
    dialog.setEntries(
        {QStringLiteral("old.site"), QStringLiteral("old"), QStringLiteral("pw"), false});
    auto *site = child<QLineEdit>("txtSiteName");
    site->clear();
    QTest::keyClicks(site, QStringLiteral("ftp.school.org/sub"));
    QTest::keyClicks(child<QLineEdit>("txtPassword"), QStringLiteral(" 2"));
    QTest::mouseClick(child<QCheckBox>("chkSecure"), Qt::LeftButton);
    const frmLogin::Entries typed = dialog.entries();
    EXPECT_EQ(QStringList({typed.SiteName, typed.UserName, typed.Password}),
              QStringList({QStringLiteral("ftp.school.org/sub"), QStringLiteral("old"),
                           QStringLiteral("pw 2")}));
    EXPECT_TRUE(typed.Secure);
}
