#pragma once

#include <QJSValue>
#include <QObject>
#include <QPointer>
#include <QString>

class QAbstractItemView;
class QJSEngine;
class QWidget;

// A top-level window as a script sees it (`win`): its children found by object name, and
// what a person does in it. Every call names what went wrong in a script error.
class ScriptWindow : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name CONSTANT)
    Q_PROPERTY(QString caption READ caption)

public:
    ScriptWindow(QWidget *window, QJSEngine *engine);

    QString name() const { return m_name; }
    QString caption() const;

    // The child object with that object name, with its properties and slots.
    Q_INVOKABLE QObject *find(const QString &name);
    Q_INVOKABLE void click(const QString &name);
    // Clicks button `index` (from 1, separators counted) of a tool bar.
    Q_INVOKABLE void press(const QString &toolbar, int index);
    Q_INVOKABLE void key(const QString &sequence);
    Q_INVOKABLE void setText(const QString &name, const QString &text);
    // Selects the entry with that text in a list or combo box, as a mouse click does.
    Q_INVOKABLE void choose(const QString &name, const QString &text);
    Q_INVOKABLE void doubleClick(const QString &name, const QString &text);
    // [{cells: [...], checked, selected, icon}, ...] in display order.
    Q_INVOKABLE QJSValue rows(const QString &list);
    Q_INVOKABLE void check(const QString &list, int row, bool checked);
    Q_INVOKABLE void select(const QString &list, int row);
    // Clicks the header of a list's column (from 1), as to sort by it.
    Q_INVOKABLE void clickHeader(const QString &list, int column);
    // Closes the window as its close box does.
    Q_INVOKABLE void close();
    Q_INVOKABLE void shot(const QString &file);

    // The children with object names, for messages about a name that is not among them.
    static QString namedChildren(const QObject *root);

private:
    QWidget *window();
    QObject *child(const QString &name);
    QAbstractItemView *list(const QString &name);
    void clickEntry(const QString &name, const QString &text, bool twice);
    void raise(const QString &message);

    QPointer<QWidget> m_window;
    QString m_name;
    QJSEngine *m_engine;
};
