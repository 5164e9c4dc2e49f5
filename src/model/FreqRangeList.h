#pragma once

#include <string>
#include <vector>

#include "model/FreqRange.h"

// The program's list of frequency-range sets, one of which may be current. The list keeps
// its own copies of the sets.
class FreqRangeList {
public:
    FreqRangeList() = default;

    // Drops every set: no current set, currentIndex 0, not modified.
    void Clear();

    // Makes set index current; false (nothing changes) when index is not a set of the list.
    bool Select(int index);

    // Index of an equal set already in the list (nothing changes), or appends a copy, marks
    // the list modified and returns the new index. -1 for no set. The current set stays.
    int Add(const FreqRange* set);
    int Add(const FreqRange& set) { return Add(&set); }

    // Index of the first equal set, or -1 (also for no set).
    int Find(const FreqRange* set) const;
    int Find(const FreqRange& set) const { return Find(&set); }

    // The current set's Text; false (text untouched) when no set is current.
    bool CurrentText(std::string& text) const;

    // Replaces strings by the Text of every set in list order.
    void FillStrings(std::vector<std::string>& strings) const;

    // The current set, or null. Valid until the list changes.
    const FreqRange* current() const;
    int currentIndex() const { return currentIndex_; }

    int Count() const { return static_cast<int>(items_.size()); }
    // Set index, 0 ≤ index < Count().
    const FreqRange& Item(int index) const { return items_.at(static_cast<std::size_t>(index)); }

    // Set whenever a set is appended; cleared by Clear. The list file loader clears it after a
    // successful read and sets it after a failed one.
    bool modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

private:
    std::vector<FreqRange> items_;
    bool hasCurrent_ = false;
    bool modified_ = false;
    int currentIndex_ = 0;
};
