#include "operations/FileListModel.h"

#include "course/FileTypes.h"
#include "platform/AutomationDate.h"
#include "platform/ItemRoles.h"
#include "platform/NumberText.h"
#include "platform/VisibleText.h"

#include <algorithm>
#include <compare>
#include <numeric>

namespace {

constexpr int PaddedSizeWidth = 15;

} // namespace

FileRow FileRow::listed(const QString &name, qint64 size, const QDateTime &modified)
{
    return listed(name, size, Platform::AutomationDate::fromDateTime(modified));
}

FileRow FileRow::listed(const QString &name, qint64 size, double modified)
{
    FileRow row;
    row.name = name;
    row.size = size;
    row.modified = modified;
    row.imageNumber = FileTypeIndex(row.type());
    return row;
}

QString FileRow::padSize(qint64 size)
{
    return Platform::NumberText::grouped(size).rightJustified(PaddedSizeWidth, u' ');
}

QString FileRow::sizeText() const
{
    return layout == Layout::Named ? QString::number(size) : padSize(size);
}

QString FileRow::dateText() const
{
    const std::optional<Platform::AutomationDate::WallClock> clock =
        Platform::AutomationDate::wallClock(modified);
    if (!clock)
        return {};
    if (layout == Layout::Named)
        return clock->date.toString(u"M/d/yyyy") + u' ' + clock->time.toString(u"h:mm:ss AP");
    return clock->date.toString(u"yyyy-MM-dd") + u' ' + clock->time.toString(u"HH:mm:ss");
}

QString FileRow::type() const
{
    return ExtensionOf(name);
}

FileListModel::FileListModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

void FileListModel::setDecorations(std::function<QVariant(const FileRow &)> decorations)
{
    m_decorations = std::move(decorations);
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, NameColumn), index(count() - 1, NameColumn),
                           {Qt::DecorationRole});
}

int FileListModel::setRows(QList<FileRow> rows, int listedRow)
{
    beginResetModel();
    m_rows = std::move(rows);
    const QList<int> before = sortRows();
    endResetModel();
    return listedRow < 0 ? -1 : int(before.indexOf(listedRow));
}

FileListModel::Totals FileListModel::totals() const
{
    Totals totals;
    for (const FileRow &row : m_rows) {
        totals.all += row.size;
        if (row.checked) {
            totals.checked += row.size;
            ++totals.checkedCount;
        }
    }
    return totals;
}

void FileListModel::setChecked(int index, bool checked)
{
    if (m_rows[index].checked == checked)
        return;
    m_rows[index].checked = checked;
    rowChanged(index, NameColumn, NameColumn);
    Q_EMIT checkChanged(index, checked);
}

void FileListModel::setAllChecked(bool checked)
{
    if (m_rows.isEmpty())
        return;
    // One change for the whole column: a checkChanged for every row would have the window
    // total the whole list again for each of them.
    for (FileRow &row : m_rows)
        row.checked = checked;
    Q_EMIT dataChanged(index(0, NameColumn), index(count() - 1, NameColumn), {Qt::CheckStateRole});
}

void FileListModel::setImageNumber(int index, int imageNumber)
{
    m_rows[index].imageNumber = imageNumber;
    rowChanged(index, NameColumn, NameColumn);
}

void FileListModel::resetImageNumbers()
{
    for (int i = 0; i < count(); ++i)
        setImageNumber(i, FileTypeIndex(m_rows.at(i).type()));
}

void FileListModel::rename(int index, const QString &name)
{
    FileRow &row = m_rows[index];
    row.name = name;
    row.imageNumber = FileTypeIndex(row.type());
    rowChanged(index);
}

void FileListModel::rowChanged(int index, int firstColumn, int lastColumn)
{
    Q_EMIT dataChanged(this->index(index, firstColumn), this->index(index, lastColumn));
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int FileListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString FileListModel::text(const FileRow &row, int column) const
{
    switch (column) {
    case NameColumn:
        return Platform::VisibleText::escaped(row.name);
    case SizeColumn:
        return row.sizeText();
    case DateColumn:
        return row.dateText();
    case TypeColumn:
        return row.type();
    }
    return {};
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const FileRow &row = m_rows.at(index.row());
    const bool first = index.column() == NameColumn;
    switch (role) {
    case Qt::DisplayRole:
        return text(row, index.column());
    case Qt::CheckStateRole:
        return first ? QVariant(row.checked ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::DecorationRole:
        return first && m_decorations ? m_decorations(row) : QVariant();
    case Platform::ImageNumberRole:
        return first ? QVariant(row.imageNumber) : QVariant();
    case Qt::TextAlignmentRole:
        // The padded sizes line up on their last digit in a fixed-width font only; aligning
        // the column right does it in any font.
        return index.column() == SizeColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                            : QVariant();
    }
    return {};
}

bool FileListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != NameColumn || role != Qt::CheckStateRole)
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags FileListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == NameColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList captions{QStringLiteral("Filename"), QStringLiteral("Size (bytes)"),
                                      QStringLiteral("Date Modified"), QStringLiteral("Type")};
    return captions.value(section);
}

void FileListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    const QList<int> before = sortRows();
    QList<int> newPosition(count());
    for (int i = 0; i < count(); ++i)
        newPosition[before.at(i)] = i;
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (const QModelIndex &old : persistent)
        moved.append(index(newPosition.at(old.row()), old.column()));
    changePersistentIndexList(persistent, moved);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QList<int> FileListModel::sortRows()
{
    // Sizes by their number: the padded text agrees with it only while it fits the padding,
    // below 1 TB.
    const bool bySize = m_sortColumn == SizeColumn;
    // The shown texts of the column, made once rather than at every comparison.
    QStringList shown;
    if (!bySize) {
        shown.reserve(count());
        for (const FileRow &row : std::as_const(m_rows))
            shown.append(text(row, m_sortColumn));
    }
    QList<int> before(count());
    std::iota(before.begin(), before.end(), 0);
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    std::stable_sort(before.begin(), before.end(), [&](int a, int b) {
        const std::strong_ordering compared =
            bySize ? m_rows.at(a).size <=> m_rows.at(b).size
                   : QString::compare(shown.at(a), shown.at(b), Qt::CaseInsensitive) <=> 0;
        return ascending ? compared < 0 : compared > 0;
    });
    shown.clear();
    QList<FileRow> sorted;
    sorted.reserve(count());
    for (const int row : std::as_const(before))
        sorted.append(std::move(m_rows[row]));
    m_rows = std::move(sorted);
    return before;
}
