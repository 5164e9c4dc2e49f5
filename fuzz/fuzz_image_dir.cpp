// The command-line tool's "image parse DIR FILE.xml" fed with arbitrary image files.
//
// Input: byte 0 is a mode byte, bytes 1-4 the lengths (16-bit, little-endian) of the files
// channels-0-99.bin and channels-100-199.bin, the rest the bytes of the three files one
// after another (settings.bin takes what is left). Lengths run past the 12..2048 bytes an
// image file may hold so the size check is reached too. Mode bits: 0 - write the second
// table file; 1 - seal each file's checksum over its padded buffer first, so that most
// images get past the checksum. When the command succeeds, the configuration it wrote must
// open again.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzFile.h"
#include "cli/CliMain.h"
#include "cli/ExitStatus.h"
#include "files/ConfigFile.h"
#include "files/FileError.h"
#include "files/ImageFiles.h"
#include "model/TableImage.h"

namespace {

namespace fs = std::filesystem;

// A directory per fuzzing process, removed when the process ends normally.
class ScratchDir {
public:
    ScratchDir() : scratch_("images") { fs::create_directories(scratch_.path()); }
    ~ScratchDir() {
        std::error_code ignored;
        fs::remove_all(scratch_.path(), ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return scratch_.path(); }

private:
    ScratchFile scratch_;
};

std::string Take(const uint8_t*& data, size_t& size, size_t want) {
    const size_t n = std::min(size, want);
    std::string bytes(reinterpret_cast<const char*>(data), n);
    data += n;
    size -= n;
    return bytes;
}

// Seals the image a file of these bytes reads as (its buffer padded with 0xFF), then cuts
// it back to the file's length; the checksum field may lie beyond the file.
void Seal(std::string& bytes) {
    if (bytes.size() < IMAGE_HEADER_SIZE || bytes.size() > TABLE_IMAGE_SIZE)
        return;
    std::array<uint8_t, TABLE_IMAGE_SIZE> image;
    image.fill(0xFF);
    std::memcpy(image.data(), bytes.data(), bytes.size());
    SealImage(image.data());
    std::memcpy(bytes.data(), image.data(), bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchDir dir;
    if (size < 5)
        return 0;
    const uint8_t mode = data[0];
    const size_t length1 = GetU16(data + 1) % 2100;
    const size_t length2 = GetU16(data + 3) % 2100;
    data += 5;
    size -= 5;

    const fs::path images = dir.path() / "in";
    std::error_code ignored;
    fs::remove_all(images, ignored);
    fs::create_directories(images);
    std::string files[3];
    files[0] = Take(data, size, length1);
    if (mode & 1)
        files[1] = Take(data, size, length2);
    files[2] = Take(data, size, size);
    const char* names[3] = {CHANNELS_0_99_FILE, CHANNELS_100_199_FILE, SETTINGS_FILE};
    for (int i = 0; i < 3; ++i) {
        if (i == 1 && !(mode & 1))
            continue;
        if (mode & 2)
            Seal(files[i]);
        WriteScratch(images / names[i], files[i]);
    }

    const fs::path output = dir.path() / "out.xml";
    fs::remove(output, ignored);
    std::ostringstream out, err;
    CliContext context{out, err, dir.path()};
    const int status = RunCli({"image", "parse", images.string(), output.string()}, context);
    FUZZ_CHECK(status == EXIT_STATUS_OK || status == EXIT_STATUS_FAILED ||
               status == EXIT_STATUS_FILE);
    FUZZ_CHECK((status == EXIT_STATUS_OK) == fs::exists(output));
    if (status != EXIT_STATUS_OK) {
        FUZZ_CHECK(!err.str().empty());
        return 0;
    }
    ChannelsContext channels;
    SettingsContext settings;
    FlagCaptions captions = NewConfig(channels, settings);
    try {
        OpenConfigFile(output, channels, settings, captions);
    } catch (const FileError& e) {
        std::fprintf(stderr, "the written configuration does not open: %s\n", e.what());
        FUZZ_CHECK(false);
    }
    return 0;
}
