#include "operations/NotListed.h"

#include "platform/Ui.h"

void TellNotListed(const QString &why)
{
    Platform::setMousePointer(Platform::Ui::Pointer::Default);
    Platform::messageBox(QStringLiteral("The files of this folder cannot be listed.\r\n") +
                             why.trimmed(),
                         Platform::Ui::Buttons::OK, Platform::Ui::Icon::Critical);
}
