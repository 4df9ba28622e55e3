#pragma once

#include "host/WindowWatcher.h"

#include <QHash>
#include <QJSValue>
#include <QString>
#include <QStringList>

class QJSEngine;

// The script's answers to the windows it meets: onBox answers message boxes, onInput input
// boxes, onWindow(name) is called for each named window. A box or input box without a
// handler, or whose handler returns nothing, gets its default button.
class ScriptHandlers : public WindowWatcher::Listener
{
public:
    explicit ScriptHandlers(QJSEngine *engine);

    // The windows of the control that onWindow can wait for.
    static const QStringList &windowNames();

    void setBoxHandler(const QJSValue &handler) { m_box = handler; }
    void setInputHandler(const QJSValue &handler) { m_input = handler; }
    void setWindowHandler(const QString &name, const QJSValue &handler);

    void boxShown(QMessageBox *box) override;
    void inputShown(QInputDialog *input) override;
    void windowShown(QWidget *window) override;

private:
    QJSEngine *m_engine;
    QJSValue m_box;
    QJSValue m_input;
    QHash<QString, QJSValue> m_windows;
};
