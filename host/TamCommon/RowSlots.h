#pragma once

#include <QVector>

namespace TAMCOMMON {

// The rows of a view as slots that keep their number while rows before them
// come and go: a slot is handed out when a row is appended and dies with its
// row. A Fenwick tree over the slots counts the live ones, so the row of a
// slot (rank) and the slot of a row (slotAt) are O(log n), and so are
// appending and removing a row, wherever it lies.
class RowSlots
{
public:
    // rows live slots 0 .. rows - 1.
    void reset(int rows);
    int append();
    void remove(int slot);
    bool isLive(int slot) const { return slot >= 0 && slot < m_live.size() && m_live.at(slot); }
    // Live slots before slot, i.e. the row of a live slot.
    int rank(int slot) const;
    // The slot of a row, for 0 <= row < liveCount().
    int slotAt(int row) const;
    int liveCount() const { return m_liveCount; }
    int deadCount() const { return m_live.size() - m_liveCount; }

private:
    QVector<int> m_tree; // m_tree[i - 1] counts the live slots in (i - lowbit(i), i]
    QVector<char> m_live;
    int m_liveCount = 0;
};

} // namespace TAMCOMMON
