#include "widgets/WidgetFactory.h"

#include "widgets/Picture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace {

// Enough of a cut path to tell a drive and a folder or two.
constexpr int LeastPathCharacters = 4;

} // namespace

QPushButton *WidgetFactory::button(QWidget *parent, const QString &name, const QString &caption,
                                   const QString &toolTip)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    return button;
}

QLabel *WidgetFactory::label(QWidget *parent, const QString &name, const QString &text,
                             QWidget *buddy)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

QLabel *WidgetFactory::pathLabel(QWidget *parent, const QString &name, const QString &text)
{
    QLabel *label = WidgetFactory::label(parent, name, text);
    label->setMinimumWidth(label->fontMetrics().averageCharWidth() * LeastPathCharacters);
    return label;
}

QLabel *WidgetFactory::picture(QWidget *parent, const QString &name, const QString &resource)
{
    QLabel *label = WidgetFactory::label(parent, name, QString());
    label->setPixmap(Picture::forScale(resource, label->devicePixelRatioF()));
    return label;
}

QLineEdit *WidgetFactory::textBox(QWidget *parent, const QString &name, int widthInCharacters)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMinimumWidth(box->fontMetrics().averageCharWidth() * widthInCharacters);
    return box;
}
