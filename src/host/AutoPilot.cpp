#include "host/AutoPilot.h"

#include "control/Vellix.h"
#include "host/HostWindow.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

const QString SuccessText = QStringLiteral("was successfully uploaded to the webserver.");

} // namespace

AutoPilot::AutoPilot(const QString &shotsFolder, QObject *parent)
    : QObject(parent)
    , m_shotsFolder(shotsFolder)
{
    if (!m_shotsFolder.isEmpty())
        QDir().mkpath(m_shotsFolder);
}

int AutoPilot::run(HostWindow &window)
{
    auto *upload = window.control()->findChild<QPushButton *>(QStringLiteral("cmdUpload"));
    if (!upload) {
        std::fprintf(stderr, "vellix-host: the control has no Upload button\n");
        return 1;
    }
    photograph(&window, QStringLiteral("host"));
    // Every window shown while the command runs is met: boxes are answered, all are pictured.
    qApp->installEventFilter(this);
    upload->click();
    qApp->removeEventFilter(this);
    photograph(&window, QStringLiteral("host-after"));

    const bool announced =
        std::any_of(m_boxTexts.cbegin(), m_boxTexts.cend(),
                    [](const QString &text) { return text.contains(SuccessText); });
    return announced ? 0 : 1;
}

bool AutoPilot::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->isWindow()) {
            // Once the window has painted: it may be a modal one whose loop is starting.
            QPointer<QWidget> guarded(widget);
            QTimer::singleShot(0, this, [this, guarded] {
                if (guarded && guarded->isVisible())
                    meet(guarded);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

void AutoPilot::meet(QWidget *window)
{
    auto *box = qobject_cast<QMessageBox *>(window);
    photograph(window, box ? QStringLiteral("box") : window->objectName());
    if (!box)
        return;
    m_boxTexts.append(box->text());
    std::printf("%s: %s\n", qUtf8Printable(box->windowTitle()),
                qUtf8Printable(QString(box->text()).replace(u'\n', u' ')));
    std::fflush(stdout);
    if (QPushButton *answer = box->defaultButton())
        answer->click();
    else
        box->close();
}

void AutoPilot::photograph(QWidget *window, const QString &what)
{
    if (m_shotsFolder.isEmpty())
        return;
    const QString name = QStringLiteral("%1-%2.png")
                             .arg(++m_shots, 2, 10, QLatin1Char('0'))
                             .arg(what.isEmpty() ? QStringLiteral("window") : what);
    if (!window->grab().save(QDir(m_shotsFolder).filePath(name), "PNG"))
        std::fprintf(stderr, "vellix-host: cannot write %s\n", qPrintable(name));
}
