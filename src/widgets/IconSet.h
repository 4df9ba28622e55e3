#pragma once

#include <QIcon>
#include <QString>

// The program's own icon theme, "vellixon", bundled in the library (":/icons/vellixon"): the
// pictures of file types, folders, tool bar buttons and transfer marks. The windows take their
// pictures from it alone, so that they look the same on every desktop, whatever icon theme it
// has or lacks (their one-colour parts in the desktop's text colour); the theme is also registered
// as Qt's fallback theme, for the icons the desktop does not have.
class IconSet
{
public:
    static QString themeName();
    // The theme's icon of that name, with every size the theme draws it in; a null icon for a
    // name the theme does not have.
    static QIcon icon(const QString &name);
};
