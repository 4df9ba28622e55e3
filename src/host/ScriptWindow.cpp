#include "host/ScriptWindow.h"

#include "host/ListRows.h"
#include "host/UserInput.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QJSEngine>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include <algorithm>

ScriptWindow::ScriptWindow(QWidget *window, QJSEngine *engine)
    : m_window(window)
    , m_name(window->objectName())
    , m_engine(engine)
{}

QString ScriptWindow::caption() const
{
    return m_window ? m_window->windowTitle() : QString();
}

QString ScriptWindow::namedChildren(const QObject *root)
{
    QStringList names;
    for (const QObject *object : root->findChildren<QObject *>()) {
        const QString name = object->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            names.append(name);
    }
    names.sort(Qt::CaseInsensitive);
    names.removeDuplicates();
    return names.isEmpty() ? QStringLiteral("none") : names.join(QLatin1String(", "));
}

void ScriptWindow::raise(const QString &message)
{
    m_engine->throwError(message);
}

QWidget *ScriptWindow::window()
{
    if (!m_window || !m_window->isVisible()) {
        raise(QStringLiteral("%1 is closed").arg(m_name));
        return nullptr;
    }
    return m_window;
}

QObject *ScriptWindow::child(const QString &name)
{
    QWidget *top = window();
    if (!top)
        return nullptr;
    if (QObject *found = top->findChild<QObject *>(name))
        return found;
    raise(QStringLiteral("%1 has no child named %2; its named children: %3")
              .arg(m_name, name, namedChildren(top)));
    return nullptr;
}

QAbstractItemView *ScriptWindow::list(const QString &name)
{
    QObject *found = child(name);
    if (!found)
        return nullptr;
    if (auto *view = qobject_cast<QAbstractItemView *>(found))
        return view;
    raise(name + QStringLiteral(" is not a list"));
    return nullptr;
}

QObject *ScriptWindow::find(const QString &name)
{
    return child(name);
}

void ScriptWindow::click(const QString &name)
{
    if (QObject *target = child(name)) {
        if (const QString why = UserInput::click(target, name); !why.isEmpty())
            raise(why);
    }
}

void ScriptWindow::press(const QString &toolbar, int index)
{
    QObject *found = child(toolbar);
    if (!found)
        return;
    auto *bar = qobject_cast<QToolBar *>(found);
    if (!bar)
        return raise(toolbar + QStringLiteral(" is not a tool bar"));
    const QList<QAction *> actions = bar->actions();
    if (index < 1 || index > actions.size()) {
        return raise(QStringLiteral("%1 has %2 buttons; there is no button %3")
                         .arg(toolbar, QString::number(actions.size()), QString::number(index)));
    }
    QAction *action = actions.at(index - 1);
    const QString name = QStringLiteral("button %1 of %2").arg(QString::number(index), toolbar);
    if (action->isSeparator())
        return raise(name + QStringLiteral(" is a separator"));
    QWidget *button = bar->widgetForAction(action);
    if (const QString why =
            UserInput::click(button ? static_cast<QObject *>(button) : action, name);
        !why.isEmpty())
        raise(why);
}

void ScriptWindow::key(const QString &sequence)
{
    if (QWidget *top = window()) {
        if (const QString why = UserInput::keys(top, sequence); !why.isEmpty())
            raise(why);
    }
}

void ScriptWindow::setText(const QString &name, const QString &text)
{
    if (QObject *target = child(name)) {
        if (const QString why = UserInput::type(target, name, text); !why.isEmpty())
            raise(why);
    }
}

void ScriptWindow::choose(const QString &name, const QString &text)
{
    QObject *target = child(name);
    if (!target)
        return;
    if (auto *combo = qobject_cast<QComboBox *>(target)) {
        const int index = combo->findText(text, Qt::MatchExactly);
        if (index < 0) {
            QStringList entries;
            for (int i = 0; i < combo->count(); ++i)
                entries.append(combo->itemText(i));
            return raise(QStringLiteral("%1 has no entry \"%2\"; its entries: %3")
                             .arg(name, text, entries.join(QLatin1String(", "))));
        }
        // What choosing from the drop-down list sends.
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
        Q_EMIT combo->textActivated(text);
        return;
    }
    clickEntry(name, text, false);
}

void ScriptWindow::doubleClick(const QString &name, const QString &text)
{
    clickEntry(name, text, true);
}

void ScriptWindow::clickEntry(const QString &name, const QString &text, bool twice)
{
    QAbstractItemView *view = list(name);
    if (!view)
        return;
    const int row = ListRows::rowOf(view, text);
    if (row < 0) {
        QStringList entries;
        for (const ListRows::Row &entry : ListRows::rows(view))
            entries.append(entry.cells.value(0));
        constexpr int Shown = 20;
        const QString listed = entries.mid(0, Shown).join(QLatin1String(", ")) +
                               (entries.size() > Shown ? QStringLiteral(", ...") : QString());
        return raise(QStringLiteral("%1 has no entry \"%2\"; its entries: %3")
                         .arg(name, text, entries.isEmpty() ? QStringLiteral("none") : listed));
    }
    if (const QString why = ListRows::clickRow(view, row, twice); !why.isEmpty())
        raise(why);
}

QJSValue ScriptWindow::rows(const QString &list)
{
    QAbstractItemView *view = this->list(list);
    if (!view)
        return {};
    const QList<ListRows::Row> rows = ListRows::rows(view);
    QJSValue array = m_engine->newArray(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const ListRows::Row &row = rows.at(i);
        QJSValue entry = m_engine->newObject();
        entry.setProperty(QStringLiteral("cells"), m_engine->toScriptValue(row.cells));
        entry.setProperty(QStringLiteral("checked"), row.checked);
        entry.setProperty(QStringLiteral("selected"), row.selected);
        entry.setProperty(QStringLiteral("icon"), row.imageNumber.isValid()
                                                      ? QJSValue(row.imageNumber.toInt())
                                                      : QJSValue(QJSValue::NullValue));
        array.setProperty(i, entry);
    }
    return array;
}

void ScriptWindow::check(const QString &list, int row, bool checked)
{
    if (QAbstractItemView *view = this->list(list)) {
        if (const QString why = ListRows::setChecked(view, row - 1, checked); !why.isEmpty())
            raise(why);
    }
}

void ScriptWindow::select(const QString &list, int row)
{
    if (QAbstractItemView *view = this->list(list)) {
        if (const QString why = ListRows::clickRow(view, row - 1); !why.isEmpty())
            raise(why);
    }
}

void ScriptWindow::clickHeader(const QString &list, int column)
{
    if (QAbstractItemView *view = this->list(list)) {
        if (const QString why = ListRows::clickHeader(view, column - 1); !why.isEmpty())
            raise(why);
    }
}

void ScriptWindow::close()
{
    if (QWidget *top = window())
        top->close();
}

void ScriptWindow::shot(const QString &file)
{
    QWidget *top = window();
    if (top && !top->grab().save(file, "PNG"))
        raise(QStringLiteral("cannot write the picture %1").arg(file));
}
