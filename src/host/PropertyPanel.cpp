#include "host/PropertyPanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <limits>

namespace {

template<typename Int>
QSpinBox *makeSpinBox(QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setRange(std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max());
    return box;
}

// Wide enough for the whole of a remote directory or a site without scrolling; a longer value
// widens its box up to about a screen's half, and the tool tip always holds all of it.
constexpr int TypicalCharacters = 40;
constexpr int WidestCharacters = 100;

void showWholeValue(QLineEdit *line)
{
    const QFontMetrics metrics = line->fontMetrics();
    // The frame and the text margins of a line edit take about two characters.
    const int needed = metrics.horizontalAdvance(line->text()) + 2 * metrics.averageCharWidth();
    line->setMinimumWidth(std::clamp(needed, TypicalCharacters * metrics.averageCharWidth(),
                                     WidestCharacters * metrics.averageCharWidth()));
    // Shown from its start: setText leaves the cursor, and so the view, at the end.
    line->setCursorPosition(0);
    line->setToolTip(line->text());
}

} // namespace

PropertyPanel::PropertyPanel(QObject *target, QWidget *parent)
    : QWidget(parent)
    , m_target(target)
{
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    const QMetaObject *meta = target->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        QWidget *editor = makeEditor(property, this);
        if (!editor)
            continue;
        const QString name = QString::fromLatin1(property.name());
        editor->setObjectName(QStringLiteral("edit_") + name);
        auto *label = new QLabel(name, this);
        label->setBuddy(editor);
        auto *set = new QPushButton(QStringLiteral("Set"), this);
        set->setObjectName(QStringLiteral("set_") + name);
        set->setToolTip(QStringLiteral("Set %1 from the box").arg(name));
        auto *get = new QPushButton(QStringLiteral("Get"), this);
        get->setObjectName(QStringLiteral("get_") + name);
        get->setToolTip(QStringLiteral("Read %1 into the box").arg(name));
        set->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        get->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        connect(set, &QPushButton::clicked, this, [this, name] { setFromEditor(name); });
        connect(get, &QPushButton::clicked, this, [this, name] { getIntoEditor(name); });

        const int line = int(m_rows.size());
        grid->addWidget(label, line, 0);
        grid->addWidget(editor, line, 1);
        grid->addWidget(set, line, 2);
        grid->addWidget(get, line, 3);
        m_rows.append({property, editor});
    }
    grid->setRowStretch(int(m_rows.size()), 1);
}

QWidget *PropertyPanel::makeEditor(const QMetaProperty &property, QWidget *parent)
{
    switch (property.metaType().id()) {
    case QMetaType::QString: {
        auto *line = new QLineEdit(parent);
        showWholeValue(line);
        return line;
    }
    case QMetaType::Short:
        return makeSpinBox<qint16>(parent);
    case QMetaType::Int:
        return makeSpinBox<qint32>(parent);
    default:
        return nullptr;
    }
}

QStringList PropertyPanel::propertyNames() const
{
    QStringList names;
    for (const Row &r : m_rows)
        names.append(QString::fromLatin1(r.property.name()));
    return names;
}

const PropertyPanel::Row *PropertyPanel::row(const QString &name) const
{
    for (const Row &r : m_rows) {
        if (QLatin1String(r.property.name()) == name)
            return &r;
    }
    return nullptr;
}

void PropertyPanel::setFromEditor(const QString &name)
{
    const Row *r = row(name);
    if (!r || !m_target)
        return;
    QVariant value;
    if (auto *line = qobject_cast<QLineEdit *>(r->editor))
        value = line->text();
    else if (auto *spin = qobject_cast<QSpinBox *>(r->editor))
        value = spin->value();
    m_target->setProperty(r->property.name(), value);
}

void PropertyPanel::getIntoEditor(const QString &name)
{
    const Row *r = row(name);
    if (!r || !m_target)
        return;
    const QVariant value = m_target->property(r->property.name());
    if (auto *line = qobject_cast<QLineEdit *>(r->editor)) {
        line->setText(value.toString());
        showWholeValue(line);
    } else if (auto *spin = qobject_cast<QSpinBox *>(r->editor)) {
        spin->setValue(value.toInt());
    }
}
