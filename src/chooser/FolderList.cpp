#include "chooser/FolderList.h"

#include "platform/DosPath.h"
#include "platform/VisibleText.h"
#include "widgets/IconSet.h"

#include <QDir>

namespace {

constexpr int PathRole = Qt::UserRole + 1;
// How far each level of the path is set in.
constexpr int IndentPerLevel = 3;

} // namespace

FolderList::FolderList(QWidget *parent)
    : QListWidget(parent)
{
    setToolTip(QStringLiteral("Double-Click to select folder"));
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { setPath(item->data(PathRole).toString()); });
}

void FolderList::addEntry(const QString &name, const QString &path, int depth, bool open)
{
    auto *item = new QListWidgetItem(
        IconSet::icon(open ? QStringLiteral("folder-open") : QStringLiteral("folder")),
        QString(depth * IndentPerLevel, QLatin1Char(' ')) + Platform::VisibleText::escaped(name),
        this);
    item->setData(PathRole, path);
    if (path == m_path)
        setCurrentItem(item);
}

bool FolderList::setPath(const QString &dosFolder)
{
    if (!show(dosFolder))
        return false;
    Q_EMIT pathChanged(m_path);
    return true;
}

bool FolderList::show(const QString &dosFolder)
{
    const QString folder = Platform::DosPath::withSeparator(dosFolder);
    const QString linuxFolder = Platform::DosPath::toLinux(folder);
    if (linuxFolder.isEmpty() || !QDir(linuxFolder).exists())
        return false;
    const QStringList subFolders =
        QDir(linuxFolder)
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);

    m_path = folder;
    clear();
    // "c:\", then each folder of the path, then what lies below the last one.
    const QStringList parts = folder.chopped(1).split(QLatin1Char('\\'));
    QString path;
    for (int depth = 0; depth < parts.size(); ++depth) {
        path += parts.at(depth) + QLatin1Char('\\');
        addEntry(depth == 0 ? path.toLower() : parts.at(depth), path, depth, true);
    }
    for (const QString &name : subFolders)
        addEntry(name, folder + name + QLatin1Char('\\'), int(parts.size()), false);
    return true;
}
