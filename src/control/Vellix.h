#pragma once

#include "control/AmbientProperties.h"
#include "control/CommandPreparation.h"
#include "control/IObjectSafety.h"

#include <QWidget>

#include <functional>

class QAction;
class QFrame;
class QLineEdit;
class QMenu;
class QPushButton;
class PictureButton;

namespace Platform {
class PropertyBag;
}

// The embeddable control: a local path box, the Browse, Upload and Dn Del Rn buttons and a
// picture that opens the function menu. A host places it on its surface, sets its properties
// (persisted through the host's property bag) and listens to its events.
class Vellix : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString rdir READ rdir WRITE setRdir)
    Q_PROPERTY(qint16 dv READ dv WRITE setDv)
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(QString userid READ userid WRITE setUserid)
    Q_PROPERTY(QString password READ password WRITE setPassword)
    Q_PROPERTY(QString sitename READ sitename WRITE setSitename)
    Q_PROPERTY(qint32 cap READ cap WRITE setCap)
    Q_PROPERTY(QString filter READ filter WRITE setFilter)

public:
    explicit Vellix(QWidget *parent = nullptr);
    ~Vellix() override;

    // What the host says about itself; the user mode decides which properties may be read
    // or written.
    const AmbientProperties &ambient() const { return m_ambient; }
    void setAmbient(const AmbientProperties &ambient) { m_ambient = ambient; }

    // The remote directory: one month folder of one archive of one course on the server.
    QString rdir() const { return m_rdir; }
    void setRdir(const QString &rdir);
    // The catalogue refresh switch.
    qint16 dv() const { return m_dv; }
    void setDv(qint16 dv);
    // The local path in txFile.
    QString text() const;
    void setText(const QString &text);
    QString userid() const;
    void setUserid(const QString &userid);
    QString password() const;
    void setPassword(const QString &password);
    QString sitename() const { return m_sitename; }
    void setSitename(const QString &sitename);
    // The upload/download capacity limit in meg.
    qint32 cap() const { return m_cap; }
    void setCap(qint32 cap);
    // The extension filter.
    QString filter() const { return m_filter; }
    void setFilter(const QString &filter);

    // Opens the about box modally.
    Q_INVOKABLE void ShowAbout();
    // Selects the item of a host's list or combo box that equals s once its leading blanks
    // are removed (case matters); no such item leaves nothing selected. Always false.
    Q_INVOKABLE bool fixselect(QObject *o, QString &s);
    // Keeps an object of the host for the commands (replacing any earlier one); returns 0.
    Q_INVOKABLE qint32 loadfunc(QObject *f);

    // A new instance placed on a host: default properties and the local folders.
    void InitProperties();
    // Restores the persisted properties as they were saved, without the property rules.
    void ReadProperties(Platform::PropertyBag &bag);
    void WriteProperties(Platform::PropertyBag &bag) const;

    const IObjectSafety &objectSafety() const { return m_objectSafety; }

Q_SIGNALS:
    void clickBrowse();
    void clickUpload();
    void clickDnload();
    // Declared for hosts; the control never raises it.
    void clickUpdate();
    // A property changed, so the host's persisted copy is out of date.
    void propertyChanged(const QString &name);

private Q_SLOTS:
    void cmdBrowse_Click();
    void cmdUpload_Click();
    void cmdDnload_Click();
    void mnuSpace_Click();
    void mnuReset_Click();

private:
    void buildSurface();
    void buildMenu();
    void Image1_MouseDown(Qt::MouseButton button, const QPoint &globalPos);
    // The path box and the three buttons; a command disables them when login stays incomplete.
    void setCommandsEnabled(bool enabled);
    // What a command needs of the control, raising its event to the host.
    CommandPreparation::Control commandControl(std::function<void()> raiseEvent);
    // Runs a command unless one of any control runs already: a command waits for the server in a
    // message loop (the status window, the login dialog, the lists), where a host's call could
    // start a second one over the session and the shared state the first is using.
    void runCommand(const std::function<void()> &command);
    void Terminate();
    bool hostRuns() const { return m_ambient.UserMode; }
    // The value at design time; at run time the refusal is shown and nothing given out.
    QString loginValue(const QString &value, const QString &refusal) const;

    QFrame *Shape1 = nullptr;
    QFrame *Shape2 = nullptr;
    QLineEdit *txFile = nullptr;
    QPushButton *cmdBrowse = nullptr;
    QPushButton *cmdUpload = nullptr;
    QPushButton *cmdDnload = nullptr;
    PictureButton *Image1 = nullptr;
    QMenu *mnuMenu = nullptr;
    QAction *mnuSpace = nullptr;
    QAction *mnuReset = nullptr;

    // Backing values of the persisted properties.
    QString m_userid;
    QString m_password;
    QString m_sitename;
    qint32 m_cap = 0;
    QString m_filter = QStringLiteral("0");
    QString m_rdir;
    qint16 m_dv = 0;

    AmbientProperties m_ambient;
    IObjectSafety m_objectSafety;
};
