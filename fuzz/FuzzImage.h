// A table image made from a fuzz input: the first byte chooses the variant to try, the rest
// fills the image (bytes beyond the input stay 0xFF, as erased memory reads).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "model/TableImage.h"

struct FuzzImage {
    uint8_t mode = 0;
    std::array<uint8_t, TABLE_IMAGE_SIZE> image{};
};

// False for an empty input.
inline bool ImageFromInput(const uint8_t* data, size_t size, FuzzImage& out) {
    if (size == 0)
        return false;
    out.mode = data[0];
    out.image.fill(0xFF);
    std::memcpy(out.image.data(), data + 1, std::min(size - 1, out.image.size()));
    return true;
}
