#include "widgets/AccessibleNames.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QEvent>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QWidget>

namespace {

// Where a widget keeps the name and description given here, to tell them from the window's
// own and to give them anew when its caption changed.
const char GivenName[] = "vellixAccessibleName";
const char GivenDescription[] = "vellixAccessibleDescription";

// A caption as it is read: without its "&" marks, blanks around it and a closing colon.
QString readable(QString caption)
{
    caption.replace(QLatin1String("&&"), QStringLiteral("\u0001"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QChar(1), QLatin1Char('&'));
    caption = caption.trimmed();
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption.trimmed();
}

bool isTextLabel(const QWidget *widget)
{
    const auto *label = qobject_cast<const QLabel *>(widget);
    return label && label->pixmap().isNull();
}

QString captionOf(const QWidget *widget, const QHash<const QWidget *, QString> &buddyCaptions)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return readable(button->text());
    if (const auto *group = qobject_cast<const QGroupBox *>(widget))
        return readable(group->title());
    return readable(buddyCaptions.value(widget));
}

// Drops what was given here before, so that what the widget shows now is read anew.
void forgetGiven(QWidget *widget)
{
    const QVariant name = widget->property(GivenName);
    if (name.isValid() && widget->accessibleName() == name.toString())
        widget->setAccessibleName(QString());
    const QVariant description = widget->property(GivenDescription);
    if (description.isValid() && widget->accessibleDescription() == description.toString())
        widget->setAccessibleDescription(QString());
}

// The first text that is not empty, or an empty one.
QString firstOf(std::initializer_list<QString> candidates)
{
    for (const QString &candidate : candidates) {
        if (!candidate.isEmpty())
            return candidate;
    }
    return {};
}

void giveName(QWidget *widget, const QString &name)
{
    if (name.isEmpty())
        return;
    widget->setAccessibleName(name);
    widget->setProperty(GivenName, name);
}

void giveDescription(QWidget *widget, const QString &description)
{
    if (description.isEmpty())
        return;
    widget->setAccessibleDescription(description);
    widget->setProperty(GivenDescription, description);
}

void nameWidget(QWidget *widget, const QHash<const QWidget *, QString> &buddyCaptions)
{
    if (isTextLabel(widget))
        return;
    forgetGiven(widget);
    QAccessibleInterface *readOut = QAccessible::queryAccessibleInterface(widget);
    if (!readOut)
        return;
    const QString caption = captionOf(widget, buddyCaptions);

    QString name = readOut->text(QAccessible::Name).trimmed();
    if (name.isEmpty()) {
        name = firstOf({caption, widget->toolTip().trimmed(), widget->accessibleDescription()});
        giveName(widget, name);
    }
    // A name Qt reads from a value (a combo box's entry) changes with it: the window's own
    // name describes the box better.
    if (readOut->text(QAccessible::Description).trimmed().isEmpty())
        giveDescription(widget, firstOf({caption, widget->accessibleName(), name}));
}

} // namespace

AccessibleNames::AccessibleNames(QWidget *root)
    : QObject(root)
{
    root->installEventFilter(this);
}

void AccessibleNames::watch(QWidget *root)
{
    new AccessibleNames(root);
}

void AccessibleNames::name(QWidget *root)
{
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    QHash<const QWidget *, QString> buddyCaptions;
    for (const QWidget *widget : std::as_const(widgets)) {
        if (const auto *label = qobject_cast<const QLabel *>(widget); label && label->buddy())
            buddyCaptions.insert(label->buddy(), label->text());
    }
    for (QWidget *widget : std::as_const(widgets))
        nameWidget(widget, buddyCaptions);
}

bool AccessibleNames::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show)
        name(static_cast<QWidget *>(watched));
    return QObject::eventFilter(watched, event);
}
