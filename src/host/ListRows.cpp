#include "host/ListRows.h"

#include "host/UserInput.h"
#include "platform/ItemRoles.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTreeView>

namespace ListRows {

namespace {

bool isColumnShown(const QAbstractItemView *view, int column)
{
    if (const auto *tree = qobject_cast<const QTreeView *>(view))
        return !tree->isColumnHidden(column);
    if (const auto *table = qobject_cast<const QTableView *>(view))
        return !table->isColumnHidden(column);
    // A list view shows the model's first column only.
    return column == 0;
}

QModelIndex indexOf(const QAbstractItemView *view, int row, int column = 0)
{
    return view->model()->index(row, column, view->rootIndex());
}

int rowCount(const QAbstractItemView *view)
{
    return view->model() ? view->model()->rowCount(view->rootIndex()) : 0;
}

QHeaderView *columnHeader(const QAbstractItemView *view)
{
    if (const auto *tree = qobject_cast<const QTreeView *>(view))
        return tree->header();
    if (const auto *table = qobject_cast<const QTableView *>(view))
        return table->horizontalHeader();
    return nullptr;
}

QString outOfRange(const QAbstractItemView *view, int row)
{
    return QStringLiteral("%1 has %2 rows; there is no row %3")
        .arg(view->objectName(), QString::number(rowCount(view)), QString::number(row + 1));
}

} // namespace

QList<Row> rows(const QAbstractItemView *view)
{
    QList<Row> list;
    const QAbstractItemModel *model = view->model();
    if (!model)
        return list;
    const QItemSelectionModel *selection = view->selectionModel();
    for (int row = 0; row < rowCount(view); ++row) {
        const QModelIndex first = indexOf(view, row);
        Row entry;
        for (int column = 0; column < model->columnCount(view->rootIndex()); ++column) {
            if (isColumnShown(view, column))
                entry.cells.append(indexOf(view, row, column).data().toString());
        }
        entry.checked = first.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        entry.selected = selection && selection->isSelected(first);
        entry.imageNumber = first.data(Platform::ImageNumberRole);
        list.append(entry);
    }
    return list;
}

int rowOf(const QAbstractItemView *view, const QString &text)
{
    for (int row = 0; row < rowCount(view); ++row) {
        if (indexOf(view, row).data().toString() == text)
            return row;
    }
    return -1;
}

QString clickRow(QAbstractItemView *view, int row, bool twice)
{
    if (row < 0 || row >= rowCount(view))
        return outOfRange(view, row);
    if (!view->isVisible() || !view->isEnabled())
        return view->objectName() + QStringLiteral(" is not shown or disabled");
    const QModelIndex index = indexOf(view, row);
    view->scrollTo(index);
    // The right end of the cell's visible part: clear of a check box or picture on the left.
    const QRect cell = view->visualRect(index).intersected(view->viewport()->rect());
    if (cell.isEmpty())
        return QStringLiteral("row %1 of %2 cannot be brought into view")
            .arg(QString::number(row + 1), view->objectName());
    UserInput::clickAt(view->viewport(), QPoint(cell.right() - 2, cell.center().y()), twice);
    return {};
}

QString setChecked(QAbstractItemView *view, int row, bool checked)
{
    if (row < 0 || row >= rowCount(view))
        return outOfRange(view, row);
    const QModelIndex index = indexOf(view, row);
    if (!(index.flags() & Qt::ItemIsUserCheckable))
        return QStringLiteral("row %1 of %2 has no check box")
            .arg(QString::number(row + 1), view->objectName());
    view->model()->setData(index, checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    return {};
}

QString clickHeader(QAbstractItemView *view, int column)
{
    QHeaderView *header = columnHeader(view);
    if (!header || header->isHidden())
        return view->objectName() + QStringLiteral(" has no column headers");
    if (column < 0 || column >= header->count() || header->isSectionHidden(column))
        return QStringLiteral("%1 shows %2 columns; there is no column %3")
            .arg(view->objectName(),
                 QString::number(header->count() - header->hiddenSectionCount()),
                 QString::number(column + 1));
    if (!view->isVisible() || !view->isEnabled())
        return view->objectName() + QStringLiteral(" is not shown or disabled");
    const int middle = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    if (middle < 0 || middle >= header->viewport()->width())
        return QStringLiteral("column %1 of %2 is out of view")
            .arg(QString::number(column + 1), view->objectName());
    UserInput::clickAt(header->viewport(), QPoint(middle, header->viewport()->height() / 2));
    return {};
}

} // namespace ListRows
