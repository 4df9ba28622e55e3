#include "transport/cDirList.h"

#include <array>
#include <cmath>

namespace {

// The Windows file attribute bits that a listing entry carries, and where each one goes.
struct AttributeField
{
    qint32 bit;
    bool cDirItem::*field;
};

constexpr std::array<AttributeField, 9> AttributeFields = {{
    {0x1, &cDirItem::ReadOnly},
    {0x2, &cDirItem::Hidden},
    {0x4, &cDirItem::System},
    {0x10, &cDirItem::Directory},
    {0x20, &cDirItem::Archive},
    {0x80, &cDirItem::Normal},
    {0x100, &cDirItem::Temporary},
    {0x800, &cDirItem::Compressed},
    {0x1000, &cDirItem::Offline},
}};

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

// A name's hash without regard to case: each code point case-folded, as
// QString::compare(..., Qt::CaseInsensitive) folds them, so that names it finds equal hash
// alike.
quint32 foldedHash(const QString &name)
{
    quint64 hash = 14695981039346656037ULL; // FNV-1a
    const qsizetype size = name.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t code = name.at(i).unicode();
        if (code < 0x80) {
            // ASCII folds to its lower case without the table of all code points.
            if (code >= 'A' && code <= 'Z')
                code += 'a' - 'A';
        } else {
            if (QChar::isHighSurrogate(code) && i + 1 < size && name.at(i + 1).isLowSurrogate())
                code = QChar::surrogateToUcs4(char16_t(code), name.at(++i).unicode());
            code = QChar::toCaseFolded(code);
        }
        hash = (hash ^ code) * 1099511628211ULL;
    }
    return quint32(hash ^ (hash >> 32));
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

cDirList::cDirList() = default;
cDirList::~cDirList() = default;

void cDirList::Add(qint32 lAttrib, double dtCreationTime, double dtLastAccessTime,
                   double dtLastWriteTime, qint32 lFileSize, const QString &sFilename)
{
    if (m_slots.size() < 2 * (m_items.size() + 1))
        growSlots();
    const quint32 hash = foldedHash(sFilename);
    const std::size_t slot = slotOf(sFilename, hash);
    if (m_slots[slot] != 0)
        return;

    cDirItem &item = m_items.emplace_back();
    for (const AttributeField &attribute : AttributeFields)
        item.*attribute.field = (lAttrib & attribute.bit) != 0;
    item.CreationTime = dtCreationTime;
    item.LastAccessTime = dtLastAccessTime;
    item.LastWriteTime = dtLastWriteTime;
    item.FileSize = lFileSize;
    item.Filename = sFilename;
    m_hashes.push_back(hash);
    m_slots[slot] = quint32(m_items.size());
}

void cDirList::Clear()
{
    m_slots.clear();
    m_hashes.clear();
    m_items.clear();
}

std::size_t cDirList::slotOf(const QString &name, quint32 hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = hash & mask;
    const auto holdsName = [&](quint32 position) {
        return m_hashes[position - 1] == hash && sameName(m_items[position - 1].Filename, name);
    };
    while (m_slots[slot] != 0 && !holdsName(m_slots[slot]))
        slot = (slot + 1) & mask;
    return slot;
}

void cDirList::growSlots()
{
    m_slots.assign(qMax(std::size_t(16), 2 * m_slots.size()), 0);
    for (std::size_t position = 0; position < m_items.size(); ++position)
        m_slots[slotOf(m_items[position].Filename, m_hashes[position])] = quint32(position + 1);
}

qsizetype cDirList::positionOf(const QString &name) const
{
    if (m_slots.empty())
        return -1;
    return qsizetype(m_slots[slotOf(name, foldedHash(name))]) - 1;
}

cDirItem *cDirList::Item(int Index) const
{
    if (Index < 1 || Index > Count())
        return nullptr;
    // The records are the list's readers' to change, as they always were, also through a const
    // list.
    return const_cast<cDirItem *>(&m_items[std::size_t(Index - 1)]);
}

cDirItem *cDirList::Item(const QString &Index) const
{
    const qsizetype position = positionOf(Index);
    return position < 0 ? nullptr : Item(int(position) + 1);
}

cDirItem *cDirList::Item(const QVariant &Index) const
{
    if (Index.typeId() == QMetaType::QString)
        return Item(Index.toString());
    if (!isNumber(Index))
        return nullptr;
    // Every position fits a double exactly; nearbyint rounds half to even.
    const double position = std::nearbyint(Index.toDouble());
    if (!(position >= 1.0 && position <= double(Count())))
        return nullptr;
    return Item(int(position));
}

int cDirList::Count() const
{
    return int(m_items.size());
}
