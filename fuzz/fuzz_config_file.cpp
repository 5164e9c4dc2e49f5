// The configuration-file reader fed with arbitrary documents.
//
// The input is written to a scratch file and opened. When it opens, the text the program
// would save is opened again: that second reading must give the same text (what a file
// read can tell must survive a save).
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "FuzzCheck.h"
#include "FuzzFile.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"

namespace {

struct Configuration {
    ChannelsContext channels;
    SettingsContext settings;
    FlagCaptions captions;
};

bool Open(const std::filesystem::path& path, Configuration& c, ConfigOpenResult& result) {
    c.captions = NewConfig(c.channels, c.settings);
    try {
        result = OpenConfigFile(path, c.channels, c.settings, c.captions);
        return true;
    } catch (const FileError&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFile scratch("config.xml");
    const std::filesystem::path& path = scratch.path();
    WriteScratch(path, data, size);

    Configuration first;
    const Configuration fresh = first;
    ConfigOpenResult result;
    if (!Open(path, first, result)) {
        // Nothing changes when the file cannot be opened.
        FUZZ_CHECK(first.channels.channels == fresh.channels.channels);
        FUZZ_CHECK(first.channels.ranges.Count() == 0);
        return 0;
    }
    FUZZ_CHECK(result.channelsRemoved == !result.warning.empty());
    FUZZ_CHECK(result.rangeSelected == (first.channels.ranges.current() != nullptr));
    if (first.channels.ranges.current() != nullptr)
        FUZZ_CHECK(first.channels.ranges.current()->IsValid());

    const std::string text = ConfigDocumentText(first.channels, first.settings, first.captions);
    WriteScratch(path, text);
    Configuration second;
    FUZZ_CHECK(Open(path, second, result));
    FUZZ_CHECK(!result.channelsRemoved);
    const std::string again = ConfigDocumentText(second.channels, second.settings, second.captions);
    if (again != text) {
        std::fprintf(stderr, "saved:\n%s\nsaved after reading it back:\n%s\n", text.c_str(),
                     again.c_str());
        FUZZ_CHECK(again == text);
    }
    return 0;
}
