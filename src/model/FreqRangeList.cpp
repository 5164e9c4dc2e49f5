#include "model/FreqRangeList.h"

void FreqRangeList::Clear() {}
bool FreqRangeList::Select(int) {
    return false;
}
int FreqRangeList::Add(const FreqRange*) {
    return -1;
}
int FreqRangeList::Find(const FreqRange*) const {
    return -1;
}
bool FreqRangeList::CurrentText(std::string&) const {
    return false;
}
void FreqRangeList::FillStrings(std::vector<std::string>&) const {}
const FreqRange* FreqRangeList::current() const {
    return nullptr;
}
