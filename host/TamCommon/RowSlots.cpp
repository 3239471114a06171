#include "RowSlots.h"

namespace TAMCOMMON {

namespace {

int lowBit(int i)
{
    return i & -i;
}

} // namespace

void RowSlots::reset(int rows)
{
    m_live.fill(1, rows);
    m_tree.resize(rows);
    // Every slot is live: a node covers exactly lowbit(i) of them.
    for (int i = 1; i <= rows; ++i)
        m_tree[i - 1] = lowBit(i);
    m_liveCount = rows;
}

int RowSlots::append()
{
    const int slot = m_live.size();
    const int node = slot + 1;
    m_live.append(1);
    int count = 1;
    // The new node covers the nodes just below it down to node - lowbit(node).
    for (int child = node - 1, stop = node - lowBit(node); child > stop; child -= lowBit(child))
        count += m_tree.at(child - 1);
    m_tree.append(count);
    ++m_liveCount;
    return slot;
}

void RowSlots::remove(int slot)
{
    if (!isLive(slot))
        return;
    m_live[slot] = 0;
    --m_liveCount;
    for (int node = slot + 1; node <= m_tree.size(); node += lowBit(node))
        --m_tree[node - 1];
}

int RowSlots::rank(int slot) const
{
    int count = 0;
    for (int node = slot; node > 0; node -= lowBit(node))
        count += m_tree.at(node - 1);
    return count;
}

int RowSlots::slotAt(int row) const
{
    // The largest node whose prefix holds at most row live slots; the slot
    // after it is the one asked for.
    int node = 0;
    int remaining = row;
    int step = 1;
    while (step * 2 <= m_tree.size())
        step *= 2;
    for (; step > 0; step /= 2) {
        const int next = node + step;
        if (next <= m_tree.size() && m_tree.at(next - 1) <= remaining) {
            node = next;
            remaining -= m_tree.at(next - 1);
        }
    }
    return node;
}

} // namespace TAMCOMMON
