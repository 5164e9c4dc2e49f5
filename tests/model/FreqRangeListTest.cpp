#include <gtest/gtest.h>

#include "model/Cp1251.h"
#include "model/FreqRangeList.h"

namespace {

FreqRange Set(uint32_t begin, uint32_t end) {
    FreqRange set;
    set.AddRx(begin, end);
    set.AddTx(begin, end);
    return set;
}

// Three sets, the last one current, modified cleared as after reading the list file.
FreqRangeList ThreeSets() {
    FreqRangeList list;
    list.Add(Set(33000000, 48500000));
    list.Add(Set(146000000, 174000000));
    list.Add(Set(41912500, 41912500));
    list.Select(2);
    list.SetModified(false);
    return list;
}

TEST(FreqRangeList, StartsEmpty) {
    FreqRangeList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.current(), nullptr);
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_FALSE(list.modified());
    std::string text = "kept";
    EXPECT_FALSE(list.CurrentText(text));
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(list.Select(0));
}

TEST(FreqRangeList, AddFindsEqualSetsAndAppendsNewOnes) {
    FreqRangeList list = ThreeSets();

    EXPECT_EQ(list.Add(Set(41912500, 41912500)), 2);
    EXPECT_FALSE(list.modified()) << "finding an equal set changes nothing";
    EXPECT_EQ(list.Count(), 3);

    FreqRange fresh = Set(30000000, 31000000);
    EXPECT_EQ(list.Add(fresh), 3);
    EXPECT_TRUE(list.modified());
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.currentIndex(), 2) << "Add keeps the current set";
    EXPECT_TRUE(list.current()->Equals(Set(41912500, 41912500)));

    fresh.rx_end[0] = 1; // the list holds its own copy
    EXPECT_TRUE(list.Item(3).Equals(Set(30000000, 31000000)));

    EXPECT_EQ(list.Add(nullptr), -1);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Find(nullptr), -1);
    EXPECT_EQ(list.Find(Set(146000000, 174000000)), 1);
    EXPECT_EQ(list.Find(Set(1, 2)), -1);
}

TEST(FreqRangeList, SelectOnlyValidIndexes) {
    FreqRangeList list = ThreeSets();
    for (int bad : {-1, 3, 100}) {
        EXPECT_FALSE(list.Select(bad)) << bad;
        EXPECT_EQ(list.currentIndex(), 2);
    }
    EXPECT_TRUE(list.Select(0));
    EXPECT_EQ(list.currentIndex(), 0);
    std::string text;
    ASSERT_TRUE(list.CurrentText(text));
    EXPECT_EQ(Cp1251ToUtf8(text), "( 33-48.5 МГц)");
    EXPECT_FALSE(list.modified()) << "selecting does not change the list";
}

TEST(FreqRangeList, FillStringsListsEverySetInOrder) {
    FreqRangeList list = ThreeSets();
    std::vector<std::string> strings = {"old entry"};
    list.FillStrings(strings);
    ASSERT_EQ(strings.size(), 3u);
    EXPECT_EQ(Cp1251ToUtf8(strings[0]), "( 33-48.5 МГц)");
    EXPECT_EQ(Cp1251ToUtf8(strings[1]), "(146-174 МГц)");
    EXPECT_EQ(Cp1251ToUtf8(strings[2]), "(41.9125 МГц)");
}

TEST(FreqRangeList, ClearDropsEverything) {
    FreqRangeList list = ThreeSets();
    list.Add(Set(1, 2));
    ASSERT_TRUE(list.modified());
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.current(), nullptr);
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_FALSE(list.modified());
    EXPECT_EQ(list.Add(Set(1, 2)), 0);
    EXPECT_EQ(list.current(), nullptr) << "adding does not select";
}

} // namespace
