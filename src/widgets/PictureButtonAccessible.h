#pragma once

#include <QAccessibleWidget>

class PictureButton;

// What screen readers hear of a PictureButton: a button that opens a menu, named by its
// accessible name, which a reader's press or show-menu action presses.
class PictureButtonAccessible : public QAccessibleWidget
{
public:
    explicit PictureButtonAccessible(PictureButton *button);

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;
};
