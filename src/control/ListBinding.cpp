#include "control/ListBinding.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QListView>

ListBinding::ListBinding(QComboBox *combo, QAbstractItemView *view)
    : m_combo(combo)
    , m_view(view)
{}

std::optional<ListBinding> ListBinding::bind(QObject *object)
{
    if (auto *combo = qobject_cast<QComboBox *>(object))
        return ListBinding(combo, nullptr);
    if (auto *view = qobject_cast<QAbstractItemView *>(object); view && view->model())
        return ListBinding(nullptr, view);
    return std::nullopt;
}

QAbstractItemModel *ListBinding::model() const
{
    return m_combo ? m_combo->model() : m_view->model();
}

QModelIndex ListBinding::itemIndex(int index) const
{
    if (m_combo)
        return model()->index(index, m_combo->modelColumn(), m_combo->rootModelIndex());
    const auto *listView = qobject_cast<const QListView *>(m_view);
    const int column = listView ? listView->modelColumn() : 0;
    return model()->index(index, column, m_view->rootIndex());
}

int ListBinding::ListCount() const
{
    return m_combo ? m_combo->count() : model()->rowCount(m_view->rootIndex());
}

QString ListBinding::List(int index) const
{
    return model()->data(itemIndex(index), Qt::DisplayRole).toString();
}

void ListBinding::setListIndex(int index) const
{
    if (m_combo) {
        m_combo->setCurrentIndex(index);
        return;
    }
    if (index < 0) {
        m_view->clearSelection();
        m_view->setCurrentIndex(QModelIndex());
        return;
    }
    m_view->setCurrentIndex(itemIndex(index));
}
