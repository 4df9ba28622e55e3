// A course unit that reaches into the control and shows a widget: both must be reported.
#include "control/Vellix.h"

#include <QLabel>

#include "platform/Ui.h"
