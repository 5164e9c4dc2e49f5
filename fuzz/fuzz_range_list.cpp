// The range-list reader fed with arbitrary documents.
//
// The input is written to a scratch file and read. Every set of the list must be valid;
// after a good read, the text the program would write reads back as the same list.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzFile.h"
#include "files/RangeListFile.h"

namespace {

bool SameSets(const FreqRangeList& a, const FreqRangeList& b) {
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i)
        if (!(a.Item(i) == b.Item(i)))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFile scratch("ranges.xml");
    const std::filesystem::path& path = scratch.path();
    WriteScratch(path, data, size);

    FreqRangeList list;
    const bool read = LoadRangeListFile(list, path);
    FUZZ_CHECK(list.Count() >= 1);
    FUZZ_CHECK(list.current() == nullptr);
    FUZZ_CHECK(list.modified() == !read);
    for (int i = 0; i < list.Count(); ++i) {
        FUZZ_CHECK(list.Item(i).IsValid());
        // No set twice.
        FUZZ_CHECK(list.Find(list.Item(i)) == i);
    }
    std::vector<std::string> strings;
    list.FillStrings(strings);
    FUZZ_CHECK(static_cast<int>(strings.size()) == list.Count());

    const std::string text = RangeListFileText(list);
    WriteScratch(path, text);
    FreqRangeList reread;
    FUZZ_CHECK(LoadRangeListFile(reread, path));
    FUZZ_CHECK(SameSets(list, reread));
    FUZZ_CHECK(RangeListFileText(reread) == text);
    return 0;
}
