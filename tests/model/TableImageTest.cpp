#include <gtest/gtest.h>

#include <array>

#include "model/TableImage.h"

namespace {

using Image = std::array<uint8_t, TABLE_IMAGE_SIZE>;

TEST(ImageCrc, KnownValues) {
    Image image{};
    EXPECT_EQ(ImageCrc(image.data(), 0, 4), 0xC704DD7Bu);

    // taken word-wise, most significant byte first: 0x64 0x63 0x62 0x61
    image[0] = 0x61;
    image[1] = 0x62;
    image[2] = 0x63;
    image[3] = 0x64;
    EXPECT_EQ(ImageCrc(image.data(), 0, 4), 0xA62F1C36u);

    // the same bytes in another word of the buffer give the same checksum
    Image shifted{};
    for (int i = 0; i < 4; ++i)
        shifted[100 + i] = image[i];
    EXPECT_EQ(ImageCrc(shifted.data(), 100, 4), 0xA62F1C36u);

    EXPECT_EQ(ImageCrc(image.data(), 0, 0), 0xFFFFFFFFu); // nothing processed
}

TEST(ImageCrc, RangesOutsideTheBufferGiveZero) {
    Image image;
    image.fill(0x5A);
    EXPECT_NE(ImageCrc(image.data(), 0, 2048), 0u);
    EXPECT_NE(ImageCrc(image.data(), 2047, 1), 0u);
    EXPECT_EQ(ImageCrc(image.data(), 0, 2049), 0u);
    EXPECT_EQ(ImageCrc(image.data(), 2048, 1), 0u);
    EXPECT_EQ(ImageCrc(image.data(), 4, 0xFFFFFFFFu), 0u); // wraps around
    EXPECT_EQ(ImageCrc(image.data(), 0xFFFFFFF0u, 0x20), 0u);
}

TEST(TableImageFrame, GuardWordMakesTheChecksumIndependentOfTheChecksumField) {
    Image image;
    StartImage(image.data(), 0x0102, 46);
    image[20] = 0x12;
    ASSERT_TRUE(SealImage(image.data()));
    const uint32_t whole = ImageCrc(image.data(), 0, TABLE_IMAGE_SIZE);
    EXPECT_EQ(whole, GetU32(image.data() + IMAGE_CRC_OFFSET));

    for (uint32_t other : {0u, 0xDEADBEEFu, 0xFFFFFFFFu}) {
        PutU32(image.data() + IMAGE_CRC_OFFSET, other);
        PutU32(image.data() + IMAGE_GUARD_OFFSET, ImageCrc(image.data(), IMAGE_CRC_OFFSET, 4));
        EXPECT_EQ(ImageCrc(image.data(), 0, TABLE_IMAGE_SIZE), whole) << std::hex << other;
    }
}

TEST(TableImageFrame, LittleEndianFieldsAtAnyOffset) {
    uint8_t bytes[7] = {};
    PutU16(bytes + 1, 0x1234);
    PutU32(bytes + 3, 0xA1B2C3D4);
    EXPECT_EQ(bytes[1], 0x34);
    EXPECT_EQ(bytes[2], 0x12);
    EXPECT_EQ(bytes[3], 0xD4);
    EXPECT_EQ(bytes[6], 0xA1);
    EXPECT_EQ(GetU16(bytes + 1), 0x1234);
    EXPECT_EQ(GetU32(bytes + 3), 0xA1B2C3D4u);
}

} // namespace
