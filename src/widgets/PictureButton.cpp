#include "widgets/PictureButton.h"

#include "widgets/Picture.h"
#include "widgets/PictureButtonAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace {

// Room around the picture for the focus frame.
constexpr int FrameMargin = 2;

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    if (className == QLatin1String("PictureButton") && object && object->isWidgetType())
        return new PictureButtonAccessible(static_cast<PictureButton *>(object));
    return nullptr;
}

} // namespace

PictureButton::PictureButton(const QString &name, const QString &resource, QWidget *parent)
    : QLabel(parent)
{
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(accessibleInstalled)
    setObjectName(name);
    setPixmap(Picture::forScale(resource, devicePixelRatioF()));
    setMargin(FrameMargin);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureButton::press()
{
    Q_EMIT pressed(Qt::LeftButton, mapToGlobal(rect().bottomLeft()));
}

void PictureButton::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT pressed(event->button(), event->globalPosition().toPoint());
}

void PictureButton::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & ~Qt::KeypadModifier) {
            QLabel::keyPressEvent(event);
            return;
        }
        press();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void PictureButton::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.backgroundColor = palette().color(backgroundRole());
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}
