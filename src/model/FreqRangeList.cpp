#include "model/FreqRangeList.h"

void FreqRangeList::Clear() {
    items_.clear();
    hasCurrent_ = false;
    currentIndex_ = 0;
    modified_ = false;
}

bool FreqRangeList::Select(int index) {
    if (index < 0 || index >= Count())
        return false;
    hasCurrent_ = true;
    currentIndex_ = index;
    return true;
}

int FreqRangeList::Add(const FreqRange* set) {
    if (!set)
        return -1;
    const int found = Find(set);
    if (found >= 0)
        return found;
    items_.push_back(*set);
    modified_ = true;
    return Count() - 1;
}

int FreqRangeList::Find(const FreqRange* set) const {
    if (!set)
        return -1;
    for (int i = 0; i < Count(); ++i) {
        if (items_[static_cast<std::size_t>(i)].Equals(*set))
            return i;
    }
    return -1;
}

bool FreqRangeList::CurrentText(std::string& text) const {
    const FreqRange* set = current();
    if (!set)
        return false;
    text = set->Text();
    return true;
}

void FreqRangeList::FillStrings(std::vector<std::string>& strings) const {
    strings.clear();
    for (const FreqRange& set : items_)
        strings.push_back(set.Text());
}

const FreqRange* FreqRangeList::current() const {
    return hasCurrent_ ? &items_[static_cast<std::size_t>(currentIndex_)] : nullptr;
}
