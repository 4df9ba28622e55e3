#pragma once

#include <QStyledItemDelegate>

// Draws a list's cells as usual, and shows a cell's whole text in a tool tip when the cell is
// too narrow for it, its column cut it short or it runs past the list's edge. A cell that
// shows all of its text has no tool tip of its own, so the list's own tip shows there.
class ClippedTextDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};
