#pragma once

#include <QList>
#include <QMetaProperty>
#include <QPointer>
#include <QWidget>

// Sets and reads the properties of an object by name, as a scripting host does: one row per
// property of the object's own class, with an editor, a "Set" and a "Get" button. Strings get
// a line edit, 16- and 32-bit integers a spin box.
class PropertyPanel : public QWidget
{
    Q_OBJECT

public:
    explicit PropertyPanel(QObject *target, QWidget *parent = nullptr);

    QStringList propertyNames() const;
    // Writes the editor's value into the property.
    void setFromEditor(const QString &name);
    // Reads the property into its editor.
    void getIntoEditor(const QString &name);

private:
    struct Row
    {
        QMetaProperty property;
        QWidget *editor = nullptr;
    };

    static QWidget *makeEditor(const QMetaProperty &property, QWidget *parent);
    const Row *row(const QString &name) const;

    QPointer<QObject> m_target;
    QList<Row> m_rows;
};
