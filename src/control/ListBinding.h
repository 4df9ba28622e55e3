#pragma once

#include <QModelIndex>
#include <QString>

#include <optional>

class QAbstractItemModel;
class QAbstractItemView;
class QComboBox;
class QObject;

// Late binding on a list box or combo box that a host hands to the control: the number of
// items, the text of an item and the selected index, for a combo box or any item view (list
// widget, list view, tree or table, whose first-level rows are the items).
class ListBinding
{
public:
    // The binding, or nothing when the object is no list.
    static std::optional<ListBinding> bind(QObject *object);

    int ListCount() const;
    QString List(int index) const;
    // Selects the item and makes it current; -1 leaves no item selected.
    void setListIndex(int index) const;

private:
    ListBinding(QComboBox *combo, QAbstractItemView *view);

    QAbstractItemModel *model() const;
    QModelIndex itemIndex(int index) const;

    QComboBox *m_combo = nullptr;
    QAbstractItemView *m_view = nullptr;
};
