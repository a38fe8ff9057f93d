#pragma once
// Rows copied from a grid, empty rows included, to be pasted as a block elsewhere. One buffer per
// grid kind; Entry is that grid's row record.
#include <utility>
#include <vector>

namespace velora::grid {

template <typename Entry> class GridPasteBuffer {
  public:
    // Replaces the contents with rows first..last (either order), fetched by row number.
    template <typename Fetch> void copy(int first, int last, Fetch fetch) {
        if (first > last) std::swap(first, last);
        entries_.clear();
        entries_.reserve(std::size_t(last - first + 1));
        for (int r = first; r <= last; ++r)
            entries_.push_back(fetch(r));
        first_ = first;
        last_ = last;
    }
    void clear() {
        entries_.clear();
        first_ = last_ = 0;
    }
    bool holdsData() const { return !entries_.empty(); }
    int firstRow() const { return first_; }
    int lastRow() const { return last_; }
    const std::vector<Entry>& entries() const { return entries_; }

  private:
    std::vector<Entry> entries_;
    int first_ = 0;
    int last_ = 0;
};

struct PastePlacement {
    int entry; // index into the buffer
    int row;   // target grid row
};

// Where `count` copied rows go when pasted at `startRow`: consecutive rows, those past `lastRow`
// (the end of the group or list) dropped.
inline std::vector<PastePlacement> planPaste(int startRow, int count, int lastRow) {
    std::vector<PastePlacement> out;
    for (int i = 0; i < count && startRow + i <= lastRow; ++i)
        out.push_back({i, startRow + i});
    return out;
}

} // namespace velora::grid
