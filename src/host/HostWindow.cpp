#include "host/HostWindow.h"

#include "control/Vellix.h"
#include "host/ControlDocument.h"
#include "host/EventLog.h"
#include "host/HostAmbient.h"
#include "host/PropertyPanel.h"
#include "platform/Ui.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

HostWindow::HostWindow(const QString &bagPath, QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("host"));
    auto *form = new QWidget(this);
    form->setObjectName(QStringLiteral("form"));
    m_control = new Vellix(form);
    m_control->setObjectName(QStringLiteral("Vellix1"));
    auto *layout = new QVBoxLayout(form);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(m_control);
    layout->addStretch(1);
    setCentralWidget(form);

    m_ambient = new HostAmbient(m_control, this);
    m_ambient->setBackColor(form->palette().color(QPalette::Window));
    m_document = new ControlDocument(m_control, bagPath, this);
    m_document->load();

    buildActions();
    buildDocks();
    // Show the loaded values; the login values are only given out at design time.
    for (const QString &name : m_panel->propertyNames()) {
        const bool secret = name == QLatin1String("userid") || name == QLatin1String("password");
        if (!secret || !m_ambient->isRunning())
            m_panel->getIntoEditor(name);
    }
    watchControl();
    connect(m_ambient, &HostAmbient::runningChanged, this, &HostWindow::updateTitle);
    connect(m_document, &ControlDocument::modifiedChanged, this, &HostWindow::updateTitle);
    updateTitle();
    statusBar()->addPermanentWidget(
        new QLabel(QStringLiteral("Properties: ") + QDir::toNativeSeparators(bagPath)));
    resize(960, 600);
}

void HostWindow::buildActions()
{
    auto *saveAction = new QAction(QStringLiteral("&Save"), this);
    saveAction->setObjectName(QStringLiteral("actionSave"));
    saveAction->setShortcut(QKeySequence::Save);
    connect(saveAction, &QAction::triggered, this, &HostWindow::save);
    auto *quitAction = new QAction(QStringLiteral("&Quit"), this);
    quitAction->setShortcut(QKeySequence::Quit);
    connect(quitAction, &QAction::triggered, this, &QWidget::close);

    m_runMode = new QAction(QStringLiteral("&Run Mode"), this);
    m_runMode->setObjectName(QStringLiteral("actionRunMode"));
    m_runMode->setCheckable(true);
    m_runMode->setChecked(m_ambient->isRunning());
    m_runMode->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    m_runMode->setToolTip(QStringLiteral("Run the form (checked) or design it (unchecked)"));
    connect(m_runMode, &QAction::toggled, m_ambient, &HostAmbient::setRunning);
    connect(m_ambient, &HostAmbient::runningChanged, m_runMode, &QAction::setChecked);

    auto *aboutAction = new QAction(QStringLiteral("&About Vellix control"), this);
    aboutAction->setObjectName(QStringLiteral("actionAbout"));
    connect(aboutAction, &QAction::triggered, m_control, &Vellix::ShowAbout);

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(saveAction);
    file->addSeparator();
    file->addAction(quitAction);
    QMenu *mode = menuBar()->addMenu(QStringLiteral("&Mode"));
    mode->addAction(m_runMode);
    m_viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(aboutAction);

    QToolBar *tools = addToolBar(QStringLiteral("Host"));
    tools->setObjectName(QStringLiteral("hostToolBar"));
    tools->setMovable(false);
    tools->addAction(saveAction);
    tools->addAction(m_runMode);
}

void HostWindow::buildDocks()
{
    m_panel = new PropertyPanel(m_control);
    m_panel->setObjectName(QStringLiteral("propertyPanel"));
    auto *properties = new QDockWidget(QStringLiteral("Properties"), this);
    properties->setObjectName(QStringLiteral("propertiesDock"));
    properties->setWidget(m_panel);
    addDockWidget(Qt::RightDockWidgetArea, properties);

    m_log = new EventLog;
    m_log->setObjectName(QStringLiteral("eventLog"));
    auto *events = new QDockWidget(QStringLiteral("Events"), this);
    events->setObjectName(QStringLiteral("eventsDock"));
    events->setWidget(m_log);
    addDockWidget(Qt::BottomDockWidgetArea, events);
    resizeDocks({events}, {150}, Qt::Vertical);

    m_viewMenu->addAction(properties->toggleViewAction());
    m_viewMenu->addAction(events->toggleViewAction());
}

void HostWindow::watchControl()
{
    const auto logAs = [this](const QString &event) {
        return [this, event] { m_log->record(event); };
    };
    connect(m_control, &Vellix::clickBrowse, this, logAs(QStringLiteral("clickBrowse")));
    connect(m_control, &Vellix::clickUpload, this, logAs(QStringLiteral("clickUpload")));
    connect(m_control, &Vellix::clickDnload, this, logAs(QStringLiteral("clickDnload")));
    connect(m_control, &Vellix::clickUpdate, this, logAs(QStringLiteral("clickUpdate")));
    connect(m_control, &Vellix::propertyChanged, this, [this](const QString &name) {
        m_log->record(QStringLiteral("propertyChanged(%1)").arg(name));
    });
}

void HostWindow::updateTitle()
{
    const QString mode = m_ambient->isRunning() ? QStringLiteral("run") : QStringLiteral("design");
    setWindowTitle(QStringLiteral("Vellix host [%1]%2")
                       .arg(mode, m_document->isModified() ? QStringLiteral(" *") : QString()));
}

QString HostWindow::saveFailedText() const
{
    return QStringLiteral("The control's properties could not be saved to\r\n") +
           QDir::toNativeSeparators(m_document->fileName());
}

void HostWindow::tellWhenMadePrivate(bool madePrivate)
{
    if (!madePrivate)
        return;
    Platform::messageBox(QDir::toNativeSeparators(m_document->fileName()) +
                             QStringLiteral(" could be read by other users.\r\nIt holds the "
                                            "control's password, so it is now readable by you "
                                            "only."),
                         Platform::Ui::Buttons::OK, Platform::Ui::Icon::Exclamation);
}

bool HostWindow::save()
{
    const ControlDocument::Saved saved = m_document->save();
    if (saved) {
        tellWhenMadePrivate(saved.madePrivate);
        return true;
    }
    Platform::messageBox(saveFailedText(), Platform::Ui::Buttons::OK, Platform::Ui::Icon::Critical);
    return false;
}

void HostWindow::closeEvent(QCloseEvent *event)
{
    // Properties the control reported changed are saved without asking, as a form's are.
    if (const ControlDocument::Saved saved = m_document->saveIfModified()) {
        tellWhenMadePrivate(saved.madePrivate);
        event->accept();
        return;
    }
    const auto answer = Platform::messageBox(
        saveFailedText() + QStringLiteral("\r\n\r\nQuit without saving them?"),
        Platform::Ui::Buttons::YesNo, Platform::Ui::Icon::Exclamation, QString(), 2);
    if (answer == Platform::Ui::Answer::Yes)
        event->accept();
    else
        event->ignore();
}
