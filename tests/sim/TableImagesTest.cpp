// The images a new simulated radio holds, and their checksum.
#include <gtest/gtest.h>

#include <vector>

#include "sim/SimulatedRadio.h"

namespace {
std::vector<uint8_t> Head(const SimulatedRadio::Image& image, size_t n) {
    return std::vector<uint8_t>(image.begin(), image.begin() + n);
}
} // namespace

TEST(TableImageCrc, KnownValuesAndRangeLimits) {
    const uint8_t zeros[4] = {0, 0, 0, 0};
    EXPECT_EQ(TableImageCrc(zeros, 0, 4), 0xC704DD7Bu);
    const uint8_t abcd[4] = {0x61, 0x62, 0x63, 0x64}; // taken as 64 63 62 61
    EXPECT_EQ(TableImageCrc(abcd, 0, 4), 0xA62F1C36u);
    SimulatedRadio::Image image{};
    EXPECT_EQ(TableImageCrc(image.data(), 2045, 4), 0u) << "beyond the 2048 bytes";
}

TEST(TableImages, EmptyChannelTablesHaveTheirKnownHeaders) {
    const struct {
        uint16_t version;
        std::vector<uint8_t> header;
    } cases[] = {
        {0x0100, {0x00, 0x01, 0xdc, 0x07, 0x0b, 0x10, 0xae, 0xcd, 0xb3, 0x32, 0xcc, 0x0f}},
        {0x0200, {0x00, 0x02, 0xdc, 0x07, 0x04, 0x36, 0x40, 0x09, 0x49, 0x9a, 0x88, 0x52}},
    };
    for (const auto& c : cases) {
        const auto image = EmptyChannelImage(c.version);
        EXPECT_EQ(Head(image, 12), c.header) << c.version;
        for (size_t i = 12; i < image.size(); ++i)
            ASSERT_EQ(image[i], 0xFF) << i;
    }
}

TEST(TableImages, DefaultSettingsMatchTheFactoryTables) {
    const std::vector<uint8_t> v10 = {0x00, 0x01, 0x22, 0x00, 0x79, 0x26, 0xed, 0xfa, 0xd9,
                                      0x47, 0xe3, 0x46, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08,
                                      0x03, 0x09, 0x00, 0x00, 0x0a, 0x01, 0x09, 0x08, 0x00,
                                      0x00, 0x00, 0x00, 0x09, 0x05, 0x00, 0x01};
    const std::vector<uint8_t> v13 = {0x03, 0x01, 0x30, 0x00, 0x94, 0xcf, 0xeb, 0xfe, 0x18, 0x40,
                                      0x99, 0x71, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x03, 0x09,
                                      0x00, 0x00, 0x0a, 0x01, 0x09, 0x08, 0x00, 0x00, 0x00, 0x00,
                                      0x09, 0x05, 0x00, 0x01, 0x00, 0x00, 0x02, 0x01, 0x01, 0x00,
                                      0x4e, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00};
    EXPECT_EQ(Head(DefaultSettingsImage(0x0100), 35), [&] {
        auto v = v10;
        v.push_back(0xFF);
        return v;
    }());
    EXPECT_EQ(Head(DefaultSettingsImage(0x0103), 48), v13);
    for (uint16_t version : {0x0101, 0x0102}) {
        const auto image = DefaultSettingsImage(version);
        EXPECT_EQ(image[0] | image[1] << 8, version);
        EXPECT_EQ(TableImageCrc(image.data(), 0, 2048), image[4] | image[5] << 8 | image[6] << 16 |
                                                            static_cast<uint32_t>(image[7]) << 24);
    }
}
