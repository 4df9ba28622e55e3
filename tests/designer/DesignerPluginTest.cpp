// Qt Designer's plugin: it loads as Designer loads it, offers the control with its icon and
// include file, and a form holding the control gives it its properties. A form loaded by a running
// program gets the control as a running host has it: the capacity is the host's to set only while
// it is designed.

#include "support/VellixTest.h"

#include "control/Vellix.h"

#include <QBuffer>
#include <QPluginLoader>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QFormBuilder>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Form = R"(<ui version="4.0">
 <class>CoursePage</class>
 <widget class="QWidget" name="CoursePage">
  <widget class="Vellix" name="vellix">
   <property name="rdir"><string>/DV/biology/2006_2007/March_2007</string></property>
   <property name="cap"><number>25</number></property>
  </widget>
 </widget>
</ui>
)";

} // namespace

using DesignerPluginTest = VellixTest;

TEST_F(DesignerPluginTest, OffersTheControlAndKeepsItsPropertiesInAForm)
{
    QPluginLoader loader(QStringLiteral(VELLIX_DESIGNER_PLUGINS "/libvellixdesigner.so"));
    ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
    auto *plugin = qobject_cast<QDesignerCustomWidgetInterface *>(loader.instance());
    ASSERT_TRUE(plugin);
    EXPECT_EQ(plugin->includeFile(), u"control/Vellix.h"_s);
    EXPECT_FALSE(plugin->icon().isNull());

    QFormBuilder forms;
    forms.setPluginPath({QStringLiteral(VELLIX_DESIGNER_PLUGINS)});
    QBuffer form;
    form.setData(Form);
    form.open(QIODevice::ReadOnly);
    std::unique_ptr<QWidget> page(forms.load(&form));
    ASSERT_TRUE(page) << forms.errorString().toStdString();
    auto *control = page->findChild<Vellix *>(u"vellix"_s);
    ASSERT_TRUE(control);
    EXPECT_EQ(control->rdir(), u"/DV/biology/2006_2007/March_2007"_s);
    EXPECT_EQ(control->cap(), 0);

    // In Designer's form editor every property may be set, the capacity too.
    ui().clear();
    QDesignerFormEditorInterface editor;
    plugin->initialize(&editor);
    std::unique_ptr<QWidget> created(plugin->createWidget(nullptr));
    auto *designed = qobject_cast<Vellix *>(created.get());
    ASSERT_TRUE(designed);
    designed->setCap(25);
    EXPECT_EQ(designed->cap(), 25);
    EXPECT_TRUE(ui().boxes().isEmpty());
}
