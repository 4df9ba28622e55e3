// A course unit that reaches into the windows in both include forms and out of its folder, and
// shows a widget: all must be reported.
#include "control/Vellix.h"
#include <lists/frmServer.h>
#include "../operations/WebSpace.h"

#include <QLabel>

#include "platform/Ui.h"
