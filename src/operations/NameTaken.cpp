#include "operations/NameTaken.h"

namespace NameTaken {

QString onServer(const QString &name)
{
    return QStringLiteral("A file named '%1' already exists on the website.\r\n"
                          "Please choose another name.")
        .arg(name);
}

QString locally(const QString &name)
{
    return QStringLiteral("A file named '%1' already exists on the local computer.\r\n"
                          "Please choose another name.")
        .arg(name);
}

} // namespace NameTaken
