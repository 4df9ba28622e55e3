#pragma once

#include <QMainWindow>

class ControlDocument;
class EventLog;
class HostAmbient;
class PropertyPanel;
class QAction;
class QMenu;
class Vellix;

// A host application for the control: a form holding one Vellix control, its saved
// properties, a design/run switch, a property panel and a log of the control's events.
class HostWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit HostWindow(const QString &bagPath, QWidget *parent = nullptr);

    Vellix *control() const { return m_control; }
    ControlDocument *document() const { return m_document; }
    HostAmbient *hostAmbient() const { return m_ambient; }
    EventLog *eventLog() const { return m_log; }

    // Saves the control's properties; tells the user when the file cannot be written.
    bool save();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildActions();
    void buildDocks();
    void watchControl();
    void updateTitle();
    QString saveFailedText() const;
    // Tells the user that the file of the saved properties was made private, when it was.
    void tellWhenMadePrivate(bool madePrivate);

    Vellix *m_control = nullptr;
    HostAmbient *m_ambient = nullptr;
    ControlDocument *m_document = nullptr;
    EventLog *m_log = nullptr;
    PropertyPanel *m_panel = nullptr;
    QAction *m_runMode = nullptr;
    QMenu *m_viewMenu = nullptr;
};
