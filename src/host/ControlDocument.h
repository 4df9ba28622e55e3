#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class Vellix;

// The host's saved copy of its control: the control's properties in one section of an INI
// file, and whether the control changed a property since they were loaded or saved.
class ControlDocument : public QObject
{
    Q_OBJECT

public:
    ControlDocument(Vellix *control, const QString &bagPath, QObject *parent = nullptr);

    static QString sectionName();

    QString fileName() const { return m_bagPath; }
    // True when the file holds saved properties of the control.
    bool hasSavedProperties() const;
    bool isModified() const { return m_modified; }

    // Restores the saved properties, or makes the control a new instance when there are none.
    void load();
    // Writes the control's properties into the file; false when the file cannot be written.
    bool save();
    // Saves only when a property changed; true when nothing needed saving or saving worked.
    bool saveIfModified();

Q_SIGNALS:
    void modifiedChanged(bool modified);

private:
    void setModified(bool modified);

    QPointer<Vellix> m_control;
    QString m_bagPath;
    bool m_modified = false;
};
