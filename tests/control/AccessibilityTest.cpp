// What a screen reader finds in the control and every window: each button, list, box and picture
// has a name and a description, the function-menu picture is a button named "Functions", and a
// description given from a caption follows the caption.

#include "ControlTest.h"

#include "chooser/frmDir.h"
#include "control/frmAbout.h"
#include "control/frmLogin.h"
#include "control/frmMsg.h"
#include "course/SharedState.h"
#include "lists/frmServer.h"
#include "lists/frmServerUp.h"
#include "viewer/frmView.h"
#include "webspace/frmSpace.h"
#include "widgets/AccessibleNames.h"
#include "widgets/frmTransfer.h"

#include <QAccessible>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Every shown button, list, box or picture below element whose name or description is empty. A
// list's rows and a combo box's entries are its data, read by their own texts.
void collectUnnamed(QAccessibleInterface *element, QStringList &unnamed)
{
    static const QList<QAccessible::Role> named = {
        QAccessible::PushButton, QAccessible::ButtonMenu,   QAccessible::ButtonDropDown,
        QAccessible::CheckBox,   QAccessible::RadioButton,  QAccessible::ComboBox,
        QAccessible::SpinBox,    QAccessible::EditableText, QAccessible::List,
        QAccessible::Table,      QAccessible::Tree,         QAccessible::Graphic};
    static const QList<QAccessible::Role> data = {QAccessible::List, QAccessible::Table,
                                                  QAccessible::Tree, QAccessible::ComboBox};
    for (int i = 0; i < element->childCount(); ++i) {
        QAccessibleInterface *child = element->child(i);
        if (!child || child->state().invisible)
            continue;
        const QObject *object = child->object();
        if (named.contains(child->role()) || qobject_cast<const QGroupBox *>(object)) {
            const QString what = (object ? object->objectName() + u' ' +
                                               QLatin1String(object->metaObject()->className())
                                         : QString()) +
                                 u" (role "_s + QString::number(child->role()) + u")"_s;
            if (child->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << what + u" has no name"_s;
            if (child->text(QAccessible::Description).trimmed().isEmpty())
                unnamed << what + u" has no description"_s;
        }
        if (!data.contains(child->role()))
            collectUnnamed(child, unnamed);
    }
}

struct WindowCase
{
    const char *name;
    std::function<std::unique_ptr<QWidget>()> make;
};

const WindowCase Windows[] = {
    {"Vellix", [] { return std::make_unique<Vellix>(); }},
    {"frmLogin", [] { return std::make_unique<frmLogin>(); }},
    {"frmMsg",
     [] {
         // Shown without connecting.
         frmMsg::setConnectDelay(600000);
         return std::make_unique<frmMsg>();
     }},
    {"frmServer", [] { return std::make_unique<frmServer>(); }},
    {"frmServerUp", [] { return std::make_unique<frmServerUp>(); }},
    {"frmDir", [] { return std::make_unique<frmDir>(nullptr); }},
    {"frmView", [] { return std::make_unique<frmView>(); }},
    {"frmSpace", [] { return std::make_unique<frmSpace>(); }},
    {"frmAbout", [] { return std::make_unique<frmAbout>(); }},
    {"frmTransfer",
     [] {
         auto window = std::make_unique<frmTransfer>();
         window->fileStarted(u"film.avi"_s, TransferViewPort::Direction::Down);
         return window;
     }},
};

} // namespace

class AccessibilityTest
    : public ControlTest
    , public ::testing::WithParamInterface<WindowCase>
{
};

TEST_P(AccessibilityTest, EveryButtonListBoxAndPictureIsNamedAndDescribed)
{
    Shared().RemoteDir = u"/DV/biology/2006_2007/March_2007"_s;
    Shared().CourseName = u"biology"_s;
    Shared().ArchiveName = u"2006_2007"_s;
    // Shown as its user meets it, with the pictures it shows only at times (the lock of a secure
    // session, the busy picture) shown too.
    const std::unique_ptr<QWidget> window = GetParam().make();
    window->show();
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->pixmap().isNull())
            label->show();
    }
    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(window.get()), unnamed);
    EXPECT_EQ(unnamed, QStringList());
    window->hide();
}

INSTANTIATE_TEST_SUITE_P(Windows, AccessibilityTest, ::testing::ValuesIn(Windows),
                         [](const auto &info) { return std::string(info.param.name); });

// A description given from a caption follows the caption when the window names its widgets
// again; what the window named itself stays.
TEST_F(VellixTest, AGivenDescriptionFollowsItsCaptionAndAWindowsOwnNameStays)
{
    QDialog window;
    auto *exit = new QPushButton(u"&Exit"_s, &window);
    auto *picture = new QLabel(&window);
    picture->setPixmap(QPixmap(16, 16));
    picture->setAccessibleName(u"Lock"_s);
    picture->setToolTip(u"Secure FTP"_s);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(exit);
    layout->addWidget(picture);
    AccessibleNames::watch(&window);
    window.show();
    const auto read = [](QWidget *widget, QAccessible::Text text) {
        return QAccessible::queryAccessibleInterface(widget)->text(text);
    };
    EXPECT_EQ(read(exit, QAccessible::Description), u"Exit"_s);
    exit->setText(u"&Cancel"_s);
    AccessibleNames::name(&window);
    EXPECT_EQ(read(exit, QAccessible::Name), u"Cancel"_s);
    EXPECT_EQ(read(exit, QAccessible::Description), u"Cancel"_s);
    EXPECT_EQ(read(picture, QAccessible::Name), u"Lock"_s);
    EXPECT_EQ(read(picture, QAccessible::Description), u"Secure FTP"_s);
}
