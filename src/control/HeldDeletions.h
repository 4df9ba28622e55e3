#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

// Holds back the deletion a host asks for with deleteLater() of a widget or of the form that
// holds it while the widget's work is on the stack (a command waiting in a window, whose loop
// would carry the deletion out under it), and asks for it again once that work has ended.
class HeldDeletions : public QObject
{
public:
    explicit HeldDeletions(QObject *object);
    ~HeldDeletions() override;
    HeldDeletions(const HeldDeletions &) = delete;
    HeldDeletions &operator=(const HeldDeletions &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QPointer<QObject>> m_watched; // the object and its parents
    QList<QPointer<QObject>> m_held;
};
