#include "ControlTest.h"

#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QStandardItemModel>

using namespace Qt::StringLiterals;

TEST_F(ControlTest, FixselectSelectsTheItemEqualToTheTextAfterItsLeadingBlanks)
{
    const QStringList items = {u"algebra"_s, u"  geometry"_s, u" geometry"_s, u"Calculus  "_s};
    QWidget host;
    auto *list = new QListWidget(&host);
    list->addItems(items);
    auto *combo = new QComboBox(&host);
    combo->addItems(items);
    // A view on the second column of a model: the items are that column.
    auto *model = new QStandardItemModel(int(items.size()), 2, &host);
    for (int row = 0; row < items.size(); ++row) {
        model->setItem(row, 0, new QStandardItem(u"algebra"_s));
        model->setItem(row, 1, new QStandardItem(items.at(row)));
    }
    auto *view = new QListView(&host);
    view->setModel(model);
    view->setModelColumn(1);
    const auto viewRow = [view] {
        return view->currentIndex().isValid() ? view->currentIndex().row() : -1;
    };

    const std::pair<QString, int> cases[] = {
        {u"geometry"_s, 1},  // the first equal item, after two leading blanks
        {u"Geometry"_s, -1}, // letter case matters
        {u"  geometry"_s, -1}, {u"Calculus"_s, -1}, // trailing blanks stay
        {u"Calculus  "_s, 3},  {QString(), -1},
    };
    for (const auto &[text, expected] : cases) {
        SCOPED_TRACE(text.toStdString());
        for (QObject *o : std::initializer_list<QObject *>{list, combo, view}) {
            QString other = u"algebra"_s; // start from another selection
            control->fixselect(o, other);
            QString s = text;
            EXPECT_FALSE(control->fixselect(o, s));
        }
        EXPECT_EQ(std::tuple(list->currentRow(), !list->selectedItems().isEmpty(),
                             combo->currentIndex(), viewRow()),
                  std::tuple(expected, expected >= 0, expected, expected));
    }

    QLabel label(u"algebra"_s);
    QString s = u"algebra"_s;
    EXPECT_FALSE(control->fixselect(&label, s));
    EXPECT_FALSE(control->fixselect(nullptr, s));
}
