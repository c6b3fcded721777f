#include "keywords/KxStringIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kx::KxStringIndex;

TEST(KxStringIndex, NumbersFollowTheOrderFirstMetThroughEveryGrowth)
{
    KxStringIndex index;
    // Phrases that share their beginnings, and far more of them than the first table holds.
    std::vector<std::string> texts = {"garden", "garden hose", "garden hoses", "g", ""};
    for (int i = 0; i < 5000; ++i)
        texts.push_back("word" + std::to_string(i * 7919) + (i % 3 == 0 ? " next" : ""));
    for (size_t n = 0; n < texts.size(); ++n) {
        bool bAdded = false;
        ASSERT_EQ(index.Intern(texts[n], bAdded), n) << texts[n];
        EXPECT_TRUE(bAdded);
        // Met again at once and after later ones: the same number, nothing added.
        ASSERT_EQ(index.Intern(texts[n / 2], bAdded), n / 2);
        EXPECT_FALSE(bAdded);
    }
    ASSERT_EQ(index.Size(), texts.size());
    for (size_t n = 0; n < texts.size(); ++n) {
        EXPECT_EQ(index.Find(texts[n]), n) << texts[n];
        EXPECT_EQ(index.Text(static_cast<uint32_t>(n)), texts[n]);
    }
    EXPECT_EQ(index.Find("garden hos"), KxStringIndex::kNone);
    EXPECT_EQ(index.Find("word1"), KxStringIndex::kNone);

    // Emptied, it numbers afresh and knows none of the old strings.
    index.Clear();
    EXPECT_EQ(index.Size(), 0u);
    EXPECT_EQ(index.Find("garden"), KxStringIndex::kNone);
    bool bAdded = false;
    EXPECT_EQ(index.Intern("hose", bAdded), 0u);
    EXPECT_TRUE(bAdded);
    EXPECT_EQ(index.Find("hose"), 0u);
}

// Room made one element at a time grows by doubling: 100,000 elements pushed so take a few
// dozen allocations, not one (and a copy of everything before) per element.
TEST(KxStringIndex, RoomForOneMoreGrowsByDoubling)
{
    std::vector<uint32_t> counts;
    int nGrowths = 0;
    for (uint32_t n = 0; n < 100000; ++n) {
        const size_t nBefore = counts.capacity();
        kx::RoomForOneMore(counts);
        if (counts.capacity() != nBefore)
            ++nGrowths;
        EXPECT_GT(counts.capacity(), counts.size());
        counts.push_back(n);
    }
    EXPECT_LT(nGrowths, 20);
    EXPECT_EQ(counts[99999], 99999u);
}
