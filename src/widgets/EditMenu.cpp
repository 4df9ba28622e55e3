#include "widgets/EditMenu.h"

#include <QAction>
#include <QMenu>

void addEditEntries(QMenu *menu, const std::function<void(EditCommands::Program)> &open)
{
    using Program = EditCommands::Program;
    const struct
    {
        const char *name;
        const char *caption;
        Program program;
    } entries[] = {
        {"mnuExplorer", "View in Internet Explorer Browser", Program::Browser},
        {"mnunote", "Edit in Notepad", Program::Notepad},
        {"mnuwpad", "Edit in Wordpad", Program::WordPad},
        {"mnuWord", "Edit in Word", Program::Word},
    };
    for (const auto &entry : entries) {
        QAction *action = menu->addAction(QLatin1String(entry.caption));
        action->setObjectName(QLatin1String(entry.name));
        QObject::connect(action, &QAction::triggered, menu,
                         [open, program = entry.program] { open(program); });
    }
}
