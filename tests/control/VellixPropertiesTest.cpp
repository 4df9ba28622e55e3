#include "ControlTest.h"

#include "course/SharedState.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

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
    const QString illegal = u"Illegal Directory!\r\nCannot use '..' and relative directories."_s;
    const Case cases[] = {
        {true, "rdir", u"/DV/smith/../algebra/May"_s, u"/DV/x/y/z"_s, illegal},
        {false, "rdir", u"/DV/a..b/c/d"_s, u"/DV/x/y/z"_s, illegal},
        {true, "rdir", u"/DV/smith/algebra/May"_s, u"/DV/smith/algebra/May"_s, {}},
        {true, "userid", read, QString(), u"You cannot view the userid!"_s},
        {true, "password", read, QString(), u"You cannot view the password!"_s},
        {false, "userid", read, u"smith"_s, {}},
        {false, "password", read, u"pw 1"_s, {}},
        {true, "cap", 100, 25, u"You cannot change the Upload/Download capacity limit!"_s},
        {true, "filter", u"*"_s, u"doc"_s, u"You cannot change the extention filter!"_s},
        {false, "cap", 100, 100, {}},
        {false, "filter", u"htm"_s, u"htm"_s, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.property) + (c.running ? " at run time" : " at design time"));
        setRunning(false);
        for (const auto &[name, value] : {std::pair<const char *, QVariant>{"rdir", u"/DV/x/y/z"_s},
                                          {"userid", u"smith"_s},
                                          {"password", u"pw 1"_s},
                                          {"cap", 25},
                                          {"filter", u"doc"_s}})
            control->setProperty(name, value);
        setRunning(c.running);
        ui().clear();
        QSignalSpy changed(control.get(), &Vellix::propertyChanged);

        if (c.written.isValid()) {
            control->setProperty(c.property, c.written);
            EXPECT_EQ(changed.size(), c.written == c.expected ? 1 : 0);
            setRunning(false); // read back without the read rules
        }
        EXPECT_EQ(control->property(c.property).toString(), c.expected.toString());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(ui().boxes().isEmpty());
        } else {
            ::expectOnlyBox(ui(), c.message, Ui::Icon::Critical);
        }
    }
}

TEST_F(ControlTest, LoginWritesReachTheSharedStateAndReadsDoNotTouchIt)
{
    setRunning(false);
    control->setProperty("userid", u"smith"_s);
    control->setProperty("password", u"pw 1"_s);
    control->setProperty("sitename", u"ftp.example.org/www"_s);
    control->setProperty("dv", 2);
    const auto shared = [] {
        const SharedState &s = Shared();
        return QStringList({s.UserId, s.Password, s.SiteName, QString::number(s.DvValue)});
    };
    EXPECT_EQ(shared(), QStringList({u"smith"_s, u"pw 1"_s, u"ftp.example.org/www"_s, u"2"_s}));

    // The commands change the shared copies; reading a property must not undo that.
    Shared() = SharedState();
    for (const char *name : {"userid", "password", "sitename", "dv"})
        control->property(name);
    EXPECT_EQ(shared(), QStringList({{}, {}, {}, u"0"_s}));
}

TEST_F(ControlTest, RefusedTextKeepsThePathAndSelectsItForRetyping)
{
    control->show();
    QApplication::setActiveWindow(control.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(control.get()));
    auto *txFile = control->findChild<QLineEdit *>(u"txFile"_s);
    const QString old = u"h:\\Documents\\lesson 1.pdf"_s;
    control->setProperty("text", old);
    ASSERT_EQ(txFile->text(), old);
    QSignalSpy changed(control.get(), &Vellix::propertyChanged);

    control->setProperty("text", u"h:\\Documents\\*.doc"_s);
    EXPECT_EQ(std::tuple(control->property("text").toString(), txFile->hasFocus(),
                         txFile->selectionStart(), txFile->selectedText(), ui().boxes().size()),
              std::tuple(old, true, 0, old, 1));

    control->setProperty("text", u"h:\\Documents\\*.*"_s);
    EXPECT_EQ(txFile->text(), u"h:\\Documents\\*.*"_s);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), u"text"_s);
}
