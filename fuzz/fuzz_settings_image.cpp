// Settings-table parser fed with arbitrary images, then the table built again.
//
// Input: byte 0 is a mode byte, the rest is the start of the 2048-byte image (the rest of
// the buffer 0xFF). Mode bits: 0-2 - version word 1.0, 1.1, 1.2, 1.3, or (4..7) the one in
// the input; 3 - keep the input's size field instead of the version's size; 4 - keep the
// input's checksum instead of sealing the image.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzCheck.h"
#include "FuzzImage.h"
#include "model/SettingsContext.h"
#include "model/TableImage.h"

using Image = std::array<uint8_t, TABLE_IMAGE_SIZE>;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzImage input;
    if (!ImageFromInput(data, size, input))
        return 0;
    const uint8_t mode = input.mode;
    Image& image = input.image;
    if ((mode & 7) < 4)
        PutU16(image.data() + IMAGE_VERSION_OFFSET,
               static_cast<uint16_t>(SETTINGS_V1_0 + (mode & 7)));
    const uint16_t version = GetU16(image.data() + IMAGE_VERSION_OFFSET);
    if (!(mode & 8))
        PutU16(image.data() + IMAGE_SIZE_OFFSET, SettingsImageSize(version));
    if (!(mode & 16))
        SealImage(image.data());

    SettingsContext settings;
    const SettingsContext untouched = settings;
    const bool parsed = settings.ParseSettingsImage(image.data());
    // The version word is taken before any check.
    FUZZ_CHECK(settings.version == version);
    if (!parsed) {
        SettingsContext expected = untouched;
        expected.version = version;
        FUZZ_CHECK(settings == expected);
        return 0;
    }
    FUZZ_CHECK(SettingsImageSize(version) != 0);

    // Whatever a radio sent, its settings can be written back in the same version.
    Image built;
    FUZZ_CHECK(settings.BuildSettingsImage(built.data(), version));
    FUZZ_CHECK(settings.lastError.empty());
    FUZZ_CHECK(ImageChecks(built.data()));
    FUZZ_CHECK(GetU16(built.data() + IMAGE_SIZE_OFFSET) == SettingsImageSize(version));

    // The settings read back from the built image are the ones parsed, and building them
    // again gives the same bytes.
    SettingsContext reread;
    FUZZ_CHECK(reread.ParseSettingsImage(built.data()));
    FUZZ_CHECK(reread == settings);
    Image rebuilt;
    FUZZ_CHECK(reread.BuildSettingsImage(rebuilt.data(), version));
    FUZZ_CHECK(built == rebuilt);
    return 0;
}
