// Decoders of the radio's information blocks and the report built from them.
//
// Input: byte 0 says which blocks to decode (bits 0-2 for blocks 0, 1, 2), the rest is cut
// into block 0 (122 bytes), block 1 (104) and block 2 (464), each allocated at its exact
// size; input too short for a block leaves its remaining bytes zero.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "model/InfoContext.h"

namespace {

std::vector<uint8_t> TakeBlock(const uint8_t*& data, size_t& size, size_t blockSize) {
    std::vector<uint8_t> block(blockSize, 0);
    const size_t n = std::min(size, blockSize);
    if (n > 0)
        std::memcpy(block.data(), data, n);
    data += n;
    size -= n;
    return block;
}

// A decoded text holds no zero byte and no blank or control character at either end.
bool TrimmedText(const std::string& text, size_t width) {
    if (text.size() > width || text.find('\0') != std::string::npos)
        return false;
    if (text.empty())
        return true;
    auto blank = [](char c) {
        const auto b = static_cast<uint8_t>(c);
        return b <= 0x20 || b == 0x7F;
    };
    return !blank(text.front()) && !blank(text.back());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const uint8_t which = data[0];
    ++data;
    --size;
    const std::vector<uint8_t> block0 = TakeBlock(data, size, INFO_BLOCK0_SIZE);
    const std::vector<uint8_t> block1 = TakeBlock(data, size, INFO_BLOCK1_SIZE);
    const std::vector<uint8_t> block2 = TakeBlock(data, size, INFO_BLOCK2_SIZE);

    TInfoContext info;
    FUZZ_CHECK(info.BuildReport().empty());
    if (which & 1)
        FUZZ_CHECK(info.DecodeBlock0(block0.data()));
    if (which & 2)
        FUZZ_CHECK(info.DecodeBlock1(block1.data()));
    if (which & 4)
        FUZZ_CHECK(info.DecodeBlock2(block2.data()));

    FUZZ_CHECK(TrimmedText(info.firmware_version, 10));
    FUZZ_CHECK(TrimmedText(info.programmer_id, 5));
    FUZZ_CHECK(TrimmedText(info.radio_type, 20));
    FUZZ_CHECK(TrimmedText(info.comment, 40));
    FUZZ_CHECK(TrimmedText(info.aux_text, 15));
    FUZZ_CHECK(TrimmedText(info.long_comment, 128));
    FUZZ_CHECK(info.HasIdentity() == ((which & 3) == 3));

    const std::string report = info.BuildReport();
    FUZZ_CHECK(report.empty() == ((which & 7) == 0));
    FUZZ_CHECK(report.find('\0') == std::string::npos);
    (void)info.IsProgrammerAccepted(info.programmer_id);
    (void)info.ranges.Text();
    (void)info.ranges.IsValid();
    return 0;
}
