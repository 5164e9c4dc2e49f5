#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "model/Cp1251.h"
#include "model/FreqRange.h"

namespace {

using Ranges = std::initializer_list<std::pair<uint32_t, uint32_t>>;

FreqRange MakeSet(Ranges rx, Ranges tx) {
    FreqRange set;
    for (auto [b, e] : rx)
        EXPECT_TRUE(set.AddRx(b, e));
    for (auto [b, e] : tx)
        EXPECT_TRUE(set.AddTx(b, e));
    return set;
}

FreqRange Same(Ranges both) {
    return MakeSet(both, both);
}

TEST(MhzText, DropsTrailingZerosAndPadsToThreeIntegerDigits) {
    const struct {
        uint32_t hz;
        const char* text;
    } cases[] = {
        {33000000, " 33"},         {48500000, "48.5"},     {41912500, "41.9125"},
        {146000000, "146"},        {151825000, "151.825"}, {40000000, " 40"},
        {12500, " 0.0125"},        {1, " 0.000001"},       {0, "  0"},
        {999999999, "999.999999"}, {4000000000u, "4000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MhzText(c.hz), c.text) << c.hz;
}

TEST(FreqRangeText, JointAndSeparateForms) {
    const struct {
        const char* name;
        FreqRange set;
        const char* text;
    } cases[] = {
        {"single range", Same({{33000000, 48500000}}), "( 33-48.5 МГц)"},
        {"two ranges", Same({{33000000, 40000000}, {45000000, 48500000}}),
         "( 33- 40, 45-48.5 МГц)"},
        {"different ranges", MakeSet({{33000000, 48500000}}, {{33000000, 40000000}}),
         "Rx:( 33-48.5 МГц) Tx:( 33- 40 МГц)"},
        {"single frequency", Same({{41912500, 41912500}}), "(41.9125 МГц)"},
        {"high band", Same({{151825000, 156000000}}), "(151.825-156 МГц)"},
        {"four ranges",
         Same({{30000000, 31000000},
               {32000000, 33000000},
               {34000000, 35000000},
               {36000000, 37000000}}),
         "( 30- 31, 32- 33, 34- 35, 36- 37 МГц)"},
        // the transmit direction has a range more: both lists must show
        {"more transmit ranges",
         MakeSet({{33000000, 40000000}}, {{33000000, 40000000}, {45000000, 48500000}}),
         "Rx:( 33- 40 МГц) Tx:( 33- 40, 45-48.5 МГц)"},
        {"empty set", FreqRange{}, "( МГц)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cp1251ToUtf8(c.set.Text()), c.text) << c.name;
}

TEST(FreqRange, DefaultClearAndAdd) {
    FreqRange set;
    set.SetDefault();
    EXPECT_TRUE(set.Equals(Same({{33000000, 48500000}})));
    set.Clear();
    EXPECT_TRUE(set.Equals(FreqRange{}));

    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(set.AddRx(10 + i, 20 + i));
        EXPECT_TRUE(set.AddTx(30 + i, 40 + i));
    }
    EXPECT_FALSE(set.AddRx(1, 2)) << "all four receive entries in use";
    EXPECT_FALSE(set.AddTx(1, 2));
    EXPECT_EQ(set.rx_begin[3], 13u);
    EXPECT_EQ(set.tx_end[3], 43u);

    // a free entry in the middle is reused first
    FreqRange holed = Same({{1, 2}, {3, 4}, {5, 6}});
    holed.rx_begin[1] = holed.rx_end[1] = 0;
    EXPECT_TRUE(holed.AddRx(7, 8));
    EXPECT_EQ(holed.rx_begin[1], 7u);
}

TEST(FreqRange, EqualsComparesAllSixteenValues) {
    const FreqRange base = Same({{1, 2}, {3, 4}, {5, 6}, {7, 8}});
    EXPECT_TRUE(base.Equals(base));
    for (int field = 0; field < 16; ++field) {
        FreqRange other = base;
        uint32_t* arrays[] = {other.rx_begin, other.tx_begin, other.rx_end, other.tx_end};
        arrays[field / 4][field % 4] += 100;
        EXPECT_FALSE(base.Equals(other)) << field;
        EXPECT_FALSE(other.Equals(base)) << field;
    }
}

TEST(FreqRangeValidity, StructuralRules) {
    FreqRange rxHole = Same({{33000000, 40000000}, {45000000, 48500000}});
    rxHole.rx_begin[0] = rxHole.rx_end[0] = 0;
    FreqRange halfFree = Same({{33000000, 40000000}});
    halfFree.rx_end[1] = 45000000; // begin 0, end set: neither a range nor free
    FreqRange txHalfFree = Same({{33000000, 40000000}});
    txHalfFree.tx_begin[1] = 45000000; // end 0

    const struct {
        const char* name;
        FreqRange set;
        bool valid;
    } cases[] = {
        {"default", Same({{33000000, 48500000}}), true},
        {"single frequency", Same({{41912500, 41912500}}), true},
        {"three ranges", Same({{1, 2}, {3, 4}, {5, 6}}), true},
        {"four ranges each way", Same({{1, 2}, {3, 4}, {5, 6}, {7, 8}}), true},
        {"one receive, four transmit", MakeSet({{1, 8}}, {{1, 2}, {3, 4}, {5, 6}, {7, 8}}), true},
        {"one receive, two transmit", MakeSet({{1, 8}}, {{1, 2}, {3, 4}}), true},
        {"two receive, one transmit", MakeSet({{1, 2}, {3, 4}}, {{1, 8}}), false},
        {"four receive, three transmit",
         MakeSet({{1, 2}, {3, 4}, {5, 6}, {7, 8}}, {{1, 2}, {3, 4}, {5, 6}}), false},
        {"empty", FreqRange{}, false},
        {"receive only", MakeSet({{1, 8}}, {}), false},
        {"transmit only", MakeSet({}, {{1, 8}}), false},
        {"receive entry 0 free, entry 1 used", rxHole, false},
        {"second range starts at the first end", Same({{10, 20}, {20, 30}}), false},
        {"second range below the first", Same({{10, 20}, {5, 8}}), false},
        {"fourth range overlaps", Same({{1, 2}, {3, 4}, {5, 6}, {6, 8}}), false},
        {"begin above end", Same({{20, 10}}), false},
        {"transmit begin above end", MakeSet({{10, 20}}, {{20, 10}}), false},
        {"end just below 1 GHz", Same({{900000000, 999999999}}), true},
        {"end at 1 GHz", Same({{900000000, 1000000000}}), false},
        {"transmit end at 1 GHz", MakeSet({{900000000, 950000000}}, {{900000000, 1000000000}}),
         false},
        {"begin 0, end set after a range", halfFree, false},
        {"transmit begin set, end 0", txHalfFree, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.set.IsValid(), c.valid) << c.name;
}

} // namespace
