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

} // namespace

cDirList::cDirList() = default;
cDirList::~cDirList() = default;

QString cDirList::keyOf(const QString &name)
{
    return name.toCaseFolded();
}

void cDirList::Add(qint32 lAttrib, double dtCreationTime, double dtLastAccessTime,
                   double dtLastWriteTime, qint32 lFileSize, const QString &sFilename)
{
    const QString key = keyOf(sFilename);
    if (m_positionByKey.contains(key))
        return;

    auto item = std::make_unique<cDirItem>();
    for (const AttributeField &attribute : AttributeFields)
        (*item).*attribute.field = (lAttrib & attribute.bit) != 0;
    item->CreationTime = dtCreationTime;
    item->LastAccessTime = dtLastAccessTime;
    item->LastWriteTime = dtLastWriteTime;
    item->FileSize = lFileSize;
    item->Filename = sFilename;

    m_positionByKey.insert(key, qsizetype(m_items.size()));
    m_items.push_back(std::move(item));
}

void cDirList::Clear()
{
    m_positionByKey.clear();
    m_items.clear();
}

cDirItem *cDirList::Item(int Index) const
{
    if (Index < 1 || Index > Count())
        return nullptr;
    return m_items[std::size_t(Index - 1)].get();
}

cDirItem *cDirList::Item(const QString &Index) const
{
    const auto found = m_positionByKey.constFind(keyOf(Index));
    return found == m_positionByKey.cend() ? nullptr : m_items[std::size_t(*found)].get();
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
