#pragma once

#include "platform/UiRecorder.h"

#include <QList>
#include <QString>

#include <ostream>

// What a user sees of a message box: its text, title and icon, and the mouse pointer while it
// stands. Tests compare the boxes shown as one list, so that their number is checked too.
struct SeenBox
{
    QString text, title;
    Platform::Ui::Icon icon = Platform::Ui::Icon::None;
    Platform::Ui::Pointer pointer = Platform::Ui::Pointer::Default;

    bool operator==(const SeenBox &) const = default;
};

inline QList<SeenBox> seen(const QList<Platform::UiRecorder::Box> &boxes)
{
    QList<SeenBox> list;
    for (const Platform::UiRecorder::Box &box : boxes)
        list.append({box.text, box.title, box.icon, box.pointer});
    return list;
}

inline void PrintTo(const SeenBox &box, std::ostream *out)
{
    *out << '"' << box.text.toStdString() << "\" titled \"" << box.title.toStdString()
         << "\", icon " << int(box.icon) << ", pointer " << int(box.pointer);
}
