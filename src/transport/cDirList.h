#pragma once

#include "transport/cDirItem.h"

#include <QString>
#include <QVariant>

#include <deque>
#include <iterator>
#include <vector>

// The entries of one server folder listing in the order the listing gave them, found by
// position or by name. A name is present only once, compared without regard to case: a later
// entry whose name differs only in case is dropped. The list owns its entries; an entry's
// address stays the same until Clear or the list's end. Names are found as they were added.
class cDirList
{
    // Entries in blocks: appending moves none of them, and none costs an allocation of its own.
    using Storage = std::deque<cDirItem>;

public:
    // Walks the entries in order as const cDirItem &.
    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = cDirItem;
        using difference_type = std::ptrdiff_t;
        using pointer = const cDirItem *;
        using reference = const cDirItem &;

        const_iterator() = default;
        reference operator*() const { return *m_at; }
        pointer operator->() const { return &*m_at; }
        const_iterator &operator++()
        {
            ++m_at;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++m_at;
            return before;
        }
        bool operator==(const const_iterator &other) const = default;

    private:
        friend class cDirList;
        explicit const_iterator(Storage::const_iterator at)
            : m_at(at)
        {}
        Storage::const_iterator m_at;
    };

    cDirList();
    ~cDirList();
    Q_DISABLE_COPY_MOVE(cDirList)

    // Appends an entry: each of the nine Booleans tells whether its Windows attribute bit is
    // set in lAttrib. A name already present (without regard to case) leaves the list as it is.
    void Add(qint32 lAttrib, double dtCreationTime, double dtLastAccessTime, double dtLastWriteTime,
             qint32 lFileSize, const QString &sFilename);
    void Clear();

    // The entry at a position counted from 1; nullptr outside 1..Count().
    cDirItem *Item(int Index) const;
    // The entry of a name, without regard to case; nullptr when there is none.
    cDirItem *Item(const QString &Index) const;
    // A number is a position (a fractional one rounds to the nearest, half to even), a text a
    // name, even when it reads as a number; anything else finds nothing.
    cDirItem *Item(const QVariant &Index) const;

    int Count() const;

    const_iterator begin() const { return const_iterator(m_items.cbegin()); }
    const_iterator end() const { return const_iterator(m_items.cend()); }

private:
    // The position (from 0) of the entry of a name; -1 when there is none.
    qsizetype positionOf(const QString &name) const;
    // The slot of m_slots where a name of that hash is held, or the free one where it would go.
    std::size_t slotOf(const QString &name, quint32 hash) const;
    void growSlots();

    Storage m_items;
    // The entries by name, without regard to case: each slot holds an entry's position plus
    // one, in the slot of its name's hash or the first free one after it, 0 when free. Kept
    // at most half full. A listing may hold a great many entries: four bytes a slot cost far
    // less than a hash of copied, case-folded names.
    std::vector<quint32> m_slots;
    // Each entry's hash, in the entries' order: a probe passes over other names by their hash,
    // and the slots grow without hashing every name again.
    std::vector<quint32> m_hashes;
};
