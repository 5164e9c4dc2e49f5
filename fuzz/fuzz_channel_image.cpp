// Channel-table parser fed with arbitrary images, then the table built again.
//
// Input: byte 0 is a mode byte, the rest is the start of the 2048-byte image (the rest of
// the buffer 0xFF, as the radio's buffers are). Mode bits: 0 - table 100..199 instead of
// 0..99; 1-2 - version word 1.0, 2.0, or the one in the input; 3 - keep the input's size
// field instead of 2012; 4 - keep the input's checksum instead of sealing the image (most
// random images then fail the checksum, which is tested too, but rarely).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzCheck.h"
#include "FuzzImage.h"
#include "model/ChannelsContext.h"
#include "model/TableImage.h"

using Image = std::array<uint8_t, TABLE_IMAGE_SIZE>;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzImage input;
    if (!ImageFromInput(data, size, input))
        return 0;
    const uint8_t mode = input.mode;
    Image& image = input.image;
    const int start = (mode & 1) ? TABLE_CHANNELS : 0;
    switch ((mode >> 1) & 3) {
    case 0:
        PutU16(image.data() + IMAGE_VERSION_OFFSET, CHANNEL_TABLE_V1);
        break;
    case 1:
        PutU16(image.data() + IMAGE_VERSION_OFFSET, CHANNEL_TABLE_V2);
        break;
    default:
        break;
    }
    if (!(mode & 8))
        PutU16(image.data() + IMAGE_SIZE_OFFSET, CHANNEL_TABLE_SIZE);
    if (!(mode & 16))
        SealImage(image.data());

    ChannelsContext table;
    const ChannelsContext untouched = table;
    if (!table.ParseImage(image.data(), start)) {
        // A refused image leaves every channel as it was, with a reason.
        FUZZ_CHECK(table.channels == untouched.channels);
        FUZZ_CHECK(!table.lastError.empty());
        return 0;
    }
    FUZZ_CHECK(table.lastError.empty());
    const uint16_t version = table.tableVersion;
    FUZZ_CHECK(version == CHANNEL_TABLE_V1 || version == CHANNEL_TABLE_V2);
    // The other table is not touched.
    const int other = start == 0 ? TABLE_CHANNELS : 0;
    for (int k = 0; k < TABLE_CHANNELS; ++k)
        FUZZ_CHECK(table.channels[other + k] == untouched.channels[other + k]);

    // Whatever a radio sent, the table it came in can be written back.
    Image built;
    FUZZ_CHECK(table.BuildImage(built.data(), version, start));
    FUZZ_CHECK(ImageChecks(built.data()));
    FUZZ_CHECK(GetU16(built.data() + IMAGE_VERSION_OFFSET) == version);
    FUZZ_CHECK(GetU16(built.data() + IMAGE_SIZE_OFFSET) == CHANNEL_TABLE_SIZE);

    // A built image is a fixed point: parsed and built again it gives the same bytes.
    ChannelsContext reread;
    FUZZ_CHECK(reread.ParseImage(built.data(), start));
    Image rebuilt;
    FUZZ_CHECK(reread.BuildImage(rebuilt.data(), version, start));
    FUZZ_CHECK(built == rebuilt);
    for (int k = 0; k < TABLE_CHANNELS; ++k)
        FUZZ_CHECK(reread.channels[start + k] == table.channels[start + k] ||
                   !table.channels[start + k].HasRxAndTx() ||
                   table.channels[start + k].subtone_rx > 134 ||
                   table.channels[start + k].subtone_tx > 134);
    return 0;
}
