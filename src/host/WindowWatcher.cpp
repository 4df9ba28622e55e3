#include "host/WindowWatcher.h"

#include "host/StillPicture.h"
#include "viewer/frmView.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

namespace {

// How long a viewer is waited for to load its file: the browser's first start takes seconds
// on a busy machine; a page that never ends loading is met after this all the same.
constexpr int FileLoadWaitMs = 30000;

bool isWindow(QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !widget->isWindow())
        return false;
    const Qt::WindowType type = widget->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen;
}

QString pictureName(QWidget *window)
{
    if (qobject_cast<QMessageBox *>(window))
        return QStringLiteral("box");
    if (qobject_cast<QInputDialog *>(window))
        return QStringLiteral("input");
    return window->objectName().isEmpty() ? QStringLiteral("window") : window->objectName();
}

// A box as one line of output: "box: TITLE | TEXT", line breaks written as "\n".
void printBox(const QMessageBox *box)
{
    const QString text = QString(box->text()).replace(u'\n', QLatin1String("\\n"));
    std::printf("box: %s | %s\n", qUtf8Printable(box->windowTitle()), qUtf8Printable(text));
    std::fflush(stdout);
}

} // namespace

WindowWatcher::WindowWatcher(Listener *listener, const QString &shotsFolder, QObject *parent)
    : QObject(parent)
    , m_listener(listener)
    , m_shotsFolder(shotsFolder)
{
    if (!m_shotsFolder.isEmpty())
        QDir().mkpath(m_shotsFolder);
    qApp->installEventFilter(this);
}

WindowWatcher::~WindowWatcher()
{
    qApp->removeEventFilter(this);
}

QString WindowWatcher::describe(QWidget *window)
{
    if (qobject_cast<QMessageBox *>(window))
        return QStringLiteral("the message box \"%1\"").arg(window->windowTitle());
    if (qobject_cast<QInputDialog *>(window))
        return QStringLiteral("the input box \"%1\"").arg(window->windowTitle());
    if (!window->objectName().isEmpty())
        return window->objectName();
    return QStringLiteral("the window \"%1\"").arg(window->windowTitle());
}

bool WindowWatcher::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && isWindow(watched)) {
        auto *window = static_cast<QWidget *>(watched);
        m_open.removeAll(window);
        if (type == QEvent::Show) {
            m_open.append(window);
            // Met once the window has painted and, for a modal one, once its loop runs.
            const QPointer<QWidget> guarded(window);
            QTimer::singleShot(0, this, [this, guarded] {
                if (!guarded || !guarded->isVisible())
                    return;
                if (auto *view = qobject_cast<frmView *>(guarded.data()))
                    meetWhenStill(view);
                else
                    meet(guarded);
            });
        }
        updateFront();
    }
    return QObject::eventFilter(watched, event);
}

void WindowWatcher::meetWhenStill(frmView *view)
{
    auto *still = new StillPicture(view);
    const QPointer<QWidget> guarded(view);
    connect(still, &StillPicture::taken, this, [this, guarded, still](const QImage &picture) {
        still->deleteLater();
        if (guarded && guarded->isVisible())
            meet(guarded, picture);
    });
    if (view->isFileLoaded()) {
        still->start();
        return;
    }
    connect(view, &frmView::fileLoaded, still, &StillPicture::start);
    QTimer::singleShot(FileLoadWaitMs, still, &StillPicture::start);
}

void WindowWatcher::meet(QWidget *window, const QImage &picture)
{
    photograph(window, picture);
    if (auto *box = qobject_cast<QMessageBox *>(window)) {
        printBox(box);
        m_listener->boxShown(box);
    } else if (auto *input = qobject_cast<QInputDialog *>(window)) {
        m_listener->inputShown(input);
    } else {
        m_listener->windowShown(window);
    }
}

void WindowWatcher::photograph(QWidget *window, const QImage &picture)
{
    if (m_shotsFolder.isEmpty())
        return;
    const QString name = QStringLiteral("%1-%2.png")
                             .arg(QString::number(++m_shots).rightJustified(2, QLatin1Char('0')),
                                  pictureName(window));
    const QImage shot = picture.isNull() ? window->grab().toImage() : picture;
    if (!shot.save(QDir(m_shotsFolder).filePath(name), "PNG"))
        std::fprintf(stderr, "vellix-host: cannot write %s\n", qPrintable(name));
}

void WindowWatcher::updateFront()
{
    m_open.removeAll(nullptr);
    Q_EMIT frontWindowChanged(m_open.isEmpty() ? QString() : describe(m_open.constLast()));
}
