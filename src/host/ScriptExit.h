#pragma once

#include <QJSValue>
#include <QString>

// How a script run ends when it cannot go on: the message on standard error and the exit
// status at once, from however deep in the windows' modal loops the script was. Unwinding
// those loops would let the control go on answering boxes nobody asked for.
namespace ScriptExit {

enum Status { Done = 0, Failed = 1, TimedOut = 3 };

[[noreturn]] void now(Status status, const QString &message);

// "FILE:LINE: Error: text" for an error value of the engine.
QString describe(const QJSValue &error);

// The result of a call into the script; a call that threw ends the run.
QJSValue checked(const QJSValue &result);

// Ends the run as an uncaught error does when a function of the script evaluated from fileName
// that a signal called throws: the engine catches that error itself and only warns of it.
void endOnHandlerErrors(const QString &fileName);

} // namespace ScriptExit
