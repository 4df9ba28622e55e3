#include "ControlTest.h"

#include "course/SharedState.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using Platform::Ui;

TEST_F(ControlTest, PropertyRulesAndRefusals)
{
    struct Case
    {
        bool running;
        const char *property;
        QVariant written; // invalid: the case reads the property
        QVariant expected;
        QString message; // empty: no box
    };
    const QVariant read;
    const Case cases[] = {
        {true, "rdir", QStringLiteral("/DV/smith/../algebra/May"), QStringLiteral("/DV/x/y/z"),
         QStringLiteral("Illegal Directory!\r\nCannot use '..' and relative directories.")},
        {false, "rdir", QStringLiteral("/DV/a..b/c/d"), QStringLiteral("/DV/x/y/z"),
         QStringLiteral("Illegal Directory!\r\nCannot use '..' and relative directories.")},
        {true,
         "rdir",
         QStringLiteral("/DV/smith/algebra/May"),
         QStringLiteral("/DV/smith/algebra/May"),
         {}},
        {true, "userid", read, QString(), QStringLiteral("You cannot view the userid!")},
        {true, "password", read, QString(), QStringLiteral("You cannot view the password!")},
        {false, "userid", read, QStringLiteral("smith"), {}},
        {false, "password", read, QStringLiteral("pw 1"), {}},
        {true, "cap", 100, 25,
         QStringLiteral("You cannot change the Upload/Download capacity limit!")},
        {true, "filter", QStringLiteral("*"), QStringLiteral("doc"),
         QStringLiteral("You cannot change the extention filter!")},
        {false, "cap", 100, 100, {}},
        {false, "filter", QStringLiteral("htm"), QStringLiteral("htm"), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.property) + (c.running ? " at run time" : " at design time"));
        setRunning(false);
        for (const auto &[name, value] :
             {std::pair<const char *, QVariant>{"rdir", QStringLiteral("/DV/x/y/z")},
              {"userid", QStringLiteral("smith")},
              {"password", QStringLiteral("pw 1")},
              {"cap", 25},
              {"filter", QStringLiteral("doc")}})
            control->setProperty(name, value);
        setRunning(c.running);
        ui().clear();
        QSignalSpy changed(control.get(), &Vellix::propertyChanged);

        QVariant value;
        if (c.written.isValid()) {
            control->setProperty(c.property, c.written);
            const bool stored = c.written == c.expected;
            EXPECT_EQ(changed.size(), stored ? 1 : 0);
            setRunning(false); // read back without the read rules
            value = control->property(c.property);
        } else {
            value = control->property(c.property);
        }
        EXPECT_EQ(value.toString(), c.expected.toString());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(ui().boxes().isEmpty());
        } else {
            expectOnlyBox(c.message, Ui::Icon::Critical);
        }
    }
}

TEST_F(ControlTest, LoginWritesReachTheSharedStateAndReadsDoNotTouchIt)
{
    setRunning(false);
    control->setProperty("userid", QStringLiteral("smith"));
    control->setProperty("password", QStringLiteral("pw 1"));
    control->setProperty("sitename", QStringLiteral("ftp.example.org/www"));
    control->setProperty("dv", 2);
    EXPECT_EQ(Shared().UserId, QStringLiteral("smith"));
    EXPECT_EQ(Shared().Password, QStringLiteral("pw 1"));
    EXPECT_EQ(Shared().SiteName, QStringLiteral("ftp.example.org/www"));
    EXPECT_EQ(Shared().DvValue, 2);

    // The commands change the shared copies; reading a property must not undo that.
    Shared() = SharedState();
    for (const char *name : {"userid", "password", "sitename", "dv"})
        control->property(name);
    EXPECT_TRUE(Shared().UserId.isEmpty());
    EXPECT_TRUE(Shared().Password.isEmpty());
    EXPECT_TRUE(Shared().SiteName.isEmpty());
    EXPECT_EQ(Shared().DvValue, 0);
}

TEST_F(ControlTest, RefusedTextKeepsThePathAndSelectsItForRetyping)
{
    control->show();
    QApplication::setActiveWindow(control.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(control.get()));
    auto *txFile = control->findChild<QLineEdit *>(QStringLiteral("txFile"));
    const QString old = QStringLiteral("h:\\Documents\\lesson 1.pdf");
    control->setProperty("text", old);
    ASSERT_EQ(txFile->text(), old);
    QSignalSpy changed(control.get(), &Vellix::propertyChanged);

    control->setProperty("text", QStringLiteral("h:\\Documents\\*.doc"));
    EXPECT_EQ(control->property("text").toString(), old);
    EXPECT_TRUE(txFile->hasFocus());
    EXPECT_EQ(txFile->selectionStart(), 0);
    EXPECT_EQ(txFile->selectedText(), old);
    EXPECT_EQ(ui().boxes().size(), 1);

    control->setProperty("text", QStringLiteral("h:\\Documents\\*.*"));
    EXPECT_EQ(txFile->text(), QStringLiteral("h:\\Documents\\*.*"));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("text"));
}
