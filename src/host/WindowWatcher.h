#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class frmView;
class QInputDialog;
class QMessageBox;
class QWidget;

// Meets every top-level window of the program as it is shown: once it has painted and, for a
// modal one, once its loop runs (the viewer once its file has loaded and stands still on the
// screen, not the blank page before it), it is pictured (when a folder for pictures is set), a
// message box is written to standard output, and the window is handed to the listener, which may
// answer it. Menus and tool tips are not windows here. It also keeps track of which window is
// in front, for whoever needs to name it.
class WindowWatcher : public QObject
{
    Q_OBJECT

public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void boxShown(QMessageBox *box) = 0;
        virtual void inputShown(QInputDialog *input) = 0;
        virtual void windowShown(QWidget *window) = 0;
    };

    WindowWatcher(Listener *listener, const QString &shotsFolder, QObject *parent = nullptr);
    ~WindowWatcher() override;

    // The window in front, as a message names it: "frmLogin", "the message box "Upload
    // File"".
    static QString describe(QWidget *window);

Q_SIGNALS:
    void frontWindowChanged(const QString &description);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // picture: what the window showed when it was met; a null one takes a new picture.
    void meet(QWidget *window, const QImage &picture = {});
    void meetWhenStill(frmView *view);
    void photograph(QWidget *window, const QImage &picture);
    void updateFront();

    Listener *m_listener;
    QString m_shotsFolder;
    int m_shots = 0;
    QList<QPointer<QWidget>> m_open;
};
