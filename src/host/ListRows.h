#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QAbstractItemView;

// The rows of a list, tree or table view as a person sees them, and what a person does to
// one: rows are counted from 0 here, in display order (after sorting).
namespace ListRows {

struct Row
{
    QStringList cells; // the shown texts of the row's columns
    bool checked = false;
    bool selected = false;
    QVariant imageNumber; // the picture's number in the window's image list, when it has one
};

QList<Row> rows(const QAbstractItemView *view);
// The first row whose first cell reads text; -1 when none does.
int rowOf(const QAbstractItemView *view, const QString &text);
// Clicks (or double-clicks) the row where a person would: on its first cell, clear of a
// check box. Returns why it could not (empty when done).
QString clickRow(QAbstractItemView *view, int row, bool twice = false);
// Ticks or clears the row's check box.
QString setChecked(QAbstractItemView *view, int row, bool checked);
// Clicks the header of a column (counted from 0 in the model) in the middle of its section.
QString clickHeader(QAbstractItemView *view, int column);

} // namespace ListRows
