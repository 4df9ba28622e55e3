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

    // What became of a save; true when the properties were written.
    struct Saved
    {
        bool written = false;
        // The file had been open to other users: it holds the control's password (as plain
        // text, as the control persists it), so it is its owner's only now.
        bool madePrivate = false;

        explicit operator bool() const { return written; }
    };

    // Restores the saved properties, or makes the control a new instance when there are none.
    void load();
    // Writes the control's properties into the file. A file that then holds a password is
    // made readable by its owner only.
    Saved save();
    // Saves only when a property changed; true when nothing needed saving or saving worked.
    Saved saveIfModified();

Q_SIGNALS:
    void modifiedChanged(bool modified);

private:
    void setModified(bool modified);

    QPointer<Vellix> m_control;
    QString m_bagPath;
    bool m_modified = false;
};
