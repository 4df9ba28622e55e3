#include "cli/CliRun.h"
#include "support/VellixTest.h"
#include "support/WindowWatch.h"

#include "control/Vellix.h"
#include "course/SharedState.h"
#include "host/ControlDocument.h"
#include "host/EventLog.h"
#include "host/HostAmbient.h"
#include "host/HostOptions.h"
#include "host/HostWindow.h"
#include "platform/Prefix.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace Qt::StringLiterals;

class HostTest : public VellixTest
{
protected:
    QString bagPath() const { return tempPath(u"host.ini"_s); }

    // Sets a property through the property panel, as the user does.
    static void set(HostWindow &window, const QString &name, const QVariant &value)
    {
        QWidget *editor = window.findChild<QWidget *>(u"edit_"_s + name);
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setText(value.toString());
        else if (auto *spin = qobject_cast<QSpinBox *>(editor))
            spin->setValue(value.toInt());
        else
            ADD_FAILURE() << "no editor for " << name.toStdString();
        window.findChild<QPushButton *>(u"set_"_s + name)->click();
    }

    // Reads a property into the property panel and returns what the editor shows.
    static QString get(HostWindow &window, const QString &name)
    {
        window.findChild<QPushButton *>(u"get_"_s + name)->click();
        QWidget *editor = window.findChild<QWidget *>(u"edit_"_s + name);
        if (auto *spin = qobject_cast<QSpinBox *>(editor))
            return QString::number(spin->value());
        return qobject_cast<QLineEdit *>(editor)->text();
    }
};

TEST_F(HostTest, CommandLine)
{
    // The scripts and the screenshot run give every option; none gives the default bag.
    const HostOptions none = HostOptions::parse({});
    EXPECT_TRUE(none.error.isEmpty());
    EXPECT_EQ(none.bagPath, Platform::Prefix::path(u"host.ini"_s));
    for (const char *refused : {"--shots", "--shots dir", "--auto --shots", "--bag", "host.ini"}) {
        const QString line = QString::fromLatin1(refused);
        EXPECT_FALSE(HostOptions::parse(line.split(' ')).error.isEmpty()) << refused;
    }
}

TEST_F(HostTest, PropertiesSurviveSavingAndReopening)
{
    const QString rdir = u"/DV/biology/2006_2007/March_2007"_s;
    {
        HostWindow window(bagPath());
        EXPECT_FALSE(window.document()->hasSavedProperties());
        window.findChild<QAction *>(u"actionRunMode"_s)->trigger(); // design
        set(window, u"rdir"_s, rdir);
        set(window, u"cap"_s, 50);
        set(window, u"dv"_s, 1);
        EXPECT_TRUE(window.save());
        EXPECT_FALSE(window.document()->isModified());
        set(window, u"userid"_s, u"smith"_s);
        EXPECT_TRUE(window.document()->isModified());
        window.close(); // saves what changed since
    }
    HostWindow reopened(bagPath());
    reopened.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&reopened));
    // The remote directory shows whole in its box, from its start, as the window opens.
    auto *box = reopened.findChild<QLineEdit *>(u"edit_rdir"_s);
    ASSERT_TRUE(box);
    EXPECT_EQ(std::tuple(box->text(), box->cursorPosition(), box->toolTip()),
              std::tuple(rdir, 0, rdir));
    EXPECT_GE(box->contentsRect().width(), box->fontMetrics().horizontalAdvance(rdir));
    EXPECT_TRUE(reopened.document()->hasSavedProperties());
    EXPECT_TRUE(reopened.hostAmbient()->isRunning());
    QStringList values;
    for (const QString &name : {u"rdir"_s, u"cap"_s, u"dv"_s})
        values << get(reopened, name);
    EXPECT_EQ(values, QStringList({rdir, u"50"_s, u"1"_s}));
    EXPECT_TRUE(ui().boxes().isEmpty());

    // The control's run-time rules hide the user id, until the host goes into design mode.
    EXPECT_EQ(get(reopened, u"userid"_s), QString());
    reopened.hostAmbient()->setRunning(false);
    EXPECT_EQ(get(reopened, u"userid"_s), u"smith"_s);
}

TEST_F(HostTest, ABagHoldingThePasswordIsReadableByItsOwnerOnly)
{
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    const QFile::Permissions openToAll = ownerOnly | QFile::ReadGroup | QFile::ReadOther;
    const QString made = QStringLiteral("%1 could be read by other users.\r\nIt holds the "
                                        "control's password, so it is now readable by you only.")
                             .arg(QDir::toNativeSeparators(bagPath()));
    HostWindow window(bagPath());
    window.hostAmbient()->setRunning(false);
    struct Step
    {
        const char *property;
        const char *value;
        QFile::Permissions before; // none: the bag does not exist yet
        QFile::Permissions after;
        bool told;            // whether the save says the bag was made private
        bool byClose = false; // saved by closing the window rather than by Save
    };
    const Step steps[] = {
        {"rdir", "/DV/smith/algebra/May", {}, ownerOnly, false},      // a new bag
        {"sitename", "ftp.example.org", openToAll, openToAll, false}, // no password in it
        {"password", "secret", openToAll, ownerOnly, true},
        {"userid", "smith", ownerOnly, ownerOnly, false}, // private already: said once
        {"password", "other", openToAll, ownerOnly, true, true},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.property);
        if (step.before.toInt() != 0) {
            ASSERT_TRUE(QFile::setPermissions(bagPath(), step.before));
        }
        set(window, QLatin1String(step.property), QLatin1String(step.value));
        ui().clear();
        if (step.byClose)
            window.close(); // saves what changed
        else
            ASSERT_TRUE(window.save());
        EXPECT_EQ(QFile::permissions(bagPath()) & openToAll, step.after);
        ASSERT_EQ(ui().boxes().size(), step.told ? 1 : 0);
        if (step.told) {
            EXPECT_EQ(std::pair(ui().boxes().at(0).text, ui().boxes().at(0).icon),
                      std::pair(made, Platform::Ui::Icon::Exclamation));
        }
    }
}

TEST_F(HostTest, EventLogShowsWhatTheControlRaised)
{
    HostWindow window(bagPath());
    window.show();
    // Browse asks for the login a fresh control lacks; the user cancels the dialog.
    const auto canceller = whenWindowShows(
        u"frmLogin"_s, [](QWidget &login) { static_cast<QDialog &>(login).reject(); });
    for (const char *button : {"cmdUpload", "cmdBrowse", "cmdDnload"})
        window.control()->findChild<QPushButton *>(QLatin1String(button))->click();
    set(window, u"sitename"_s, u"ftp.example.org"_s);
    EXPECT_EQ(window.eventLog()->events().join(QLatin1Char(' ')),
              u"clickUpload clickBrowse clickDnload propertyChanged(sitename)"_s);
}

TEST_F(HostTest, ProgramSavesAScreenshotAndRefusesBadArguments)
{
    const QString picture = tempPath(u"host.png"_s);
    const std::pair<QStringList, int> cases[] = {
        {{u"--bag"_s, bagPath(), u"--screenshot"_s, picture}, 0},
        {{u"--bag"_s, QString()}, 2},
    };
    for (const auto &[arguments, exitCode] : cases) {
        const CliRun run = runProgram(QStringLiteral(VELLIX_HOST_PROGRAM), arguments);
        EXPECT_EQ(run.exitCode, exitCode) << arguments.join(u' ').toStdString();
        EXPECT_EQ(run.err.contains(u"usage: vellix-host"_s), exitCode == 2);
    }
    const QImage image(picture);
    EXPECT_GE(image.width(), 400);
    EXPECT_GE(image.height(), 200);
}
