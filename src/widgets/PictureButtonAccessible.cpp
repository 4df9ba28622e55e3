#include "widgets/PictureButtonAccessible.h"

#include "widgets/PictureButton.h"

PictureButtonAccessible::PictureButtonAccessible(PictureButton *button)
    : QAccessibleWidget(button, QAccessible::ButtonMenu)
{}

QStringList PictureButtonAccessible::actionNames() const
{
    return QAccessibleWidget::actionNames() << pressAction() << showMenuAction();
}

void PictureButtonAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction() || actionName == showMenuAction())
        static_cast<PictureButton *>(widget())->press();
    else
        QAccessibleWidget::doAction(actionName);
}

QStringList PictureButtonAccessible::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == pressAction() || actionName == showMenuAction())
        return {QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(actionName);
}
