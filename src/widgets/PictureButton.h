#pragma once

#include <QLabel>

// A picture that works as a button: it takes the focus with Tab and then shows a focus frame,
// and Space or Enter presses it as the left mouse button does. Screen readers see a button
// that opens a menu. A mouse press reports where it happened; a key, the picture's lower left
// corner, so that a menu opened there stands below the picture.
class PictureButton : public QLabel
{
    Q_OBJECT

public:
    // A picture of the library's resources (":/vellixon/menu.png").
    PictureButton(const QString &name, const QString &resource, QWidget *parent);

    // What Space, Enter and a screen reader's press do.
    void press();

Q_SIGNALS:
    void pressed(Qt::MouseButton button, const QPoint &globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
