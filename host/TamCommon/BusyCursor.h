#pragma once

namespace TAMCOMMON {

// Shows the busy cursor for the lifetime of the guard when the work it
// covers is large enough to be felt (from about a quarter of a second, which
// a few thousand rows of a view take); smaller work shows nothing, so quick
// flows do not flicker. Guards nest.
class BusyCursor
{
public:
    // Rows (or items) the work will touch.
    explicit BusyCursor(int workItems);
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    static constexpr int NoticeableItems = 2000;

private:
    bool m_shown;
};

} // namespace TAMCOMMON
