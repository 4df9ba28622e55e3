#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QTimer>

class QWidget;

// Takes the picture of a window once what it shows stands still: a browser paints a page on
// its own schedule, style sheets first and pictures as they are decoded, for some time after
// the page has loaded. The window is grabbed at intervals until its picture has stayed the
// same over a few of them or, for a page that keeps moving, until a time limit. It goes with
// the window.
class StillPicture : public QObject
{
    Q_OBJECT

public:
    explicit StillPicture(QWidget *window);

    // Starts watching; a second call changes nothing.
    void start();

Q_SIGNALS:
    void taken(const QImage &picture);

private:
    void look();

    QWidget *m_window;
    QTimer m_interval;
    QElapsedTimer m_watching;
    QImage m_last;
    int m_unchanged = 0;
};
