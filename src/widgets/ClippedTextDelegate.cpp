#include "widgets/ClippedTextDelegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

bool ClippedTextDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                    const QStyleOptionViewItem &option, const QModelIndex &index)
{
    // A tip the model gives goes first.
    if (event->type() != QEvent::ToolTip || !index.isValid() ||
        index.data(Qt::ToolTipRole).isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // The cell wants more room than it shows: its text is cut, elided or off the edge.
    const QRect shown = option.rect & view->viewport()->rect();
    if (sizeHint(option, index).width() <= shown.width()) {
        // Nothing to add: the event goes on to the list, which shows its own tip if any.
        event->ignore();
        return false;
    }
    QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view->viewport(),
                       option.rect);
    return true;
}
