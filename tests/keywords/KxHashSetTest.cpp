#include "keywords/KxHashSet.h"

#include <gtest/gtest.h>

using namespace kx;

TEST(KxHashSet, IndexShiftsTheXorOfEachByte)
{
    int index = -1;
    ASSERT_EQ(KxHashSet::Index("ab", 2003, &index), kHashOk);
    EXPECT_EQ(index, ((0 ^ 0x61) * 2 ^ 0x62) * 2 % 2003);
    EXPECT_EQ(index, 320);
}

TEST(KxHashSet, HighBytesAreSignExtended)
{
    int index = -1;
    ASSERT_EQ(KxHashSet::Index("\xE9", 2003, &index), kHashOk);
    EXPECT_EQ(static_cast<unsigned>(index), (0xFFFFFFE9u << 1) % 2003u);
}

TEST(KxHashSet, EmptyKeyAndMissingOutParameter)
{
    int index = 0;
    EXPECT_EQ(KxHashSet::Index("", 2003, &index), kHashEmptyKey);
    EXPECT_EQ(KxHashSet::Index("a", 2003, nullptr), kHashNullIndexOut);
    KxHashSet set;
    ASSERT_EQ(set.Create(101), kHashOk);
    int value = 0;
    EXPECT_EQ(set.FindInt("", &value), kHashEmptyKey);
    EXPECT_EQ(set.FindInt("a", nullptr), kHashNullTypedOut);
}

TEST(KxHashSet, UncreatedSetAnswersNullSet)
{
    KxHashSet set;
    EXPECT_EQ(set.PutInt("a", 1), kHashNullSet);
    EXPECT_NE(set.Contains("a"), kHashOk);
    int value = 0;
    EXPECT_EQ(set.FindInt("a", &value), kHashNullSet);
}

TEST(KxHashSet, PutReplacesAnExistingKey)
{
    KxHashSet set;
    ASSERT_EQ(set.Create(7), kHashOk);
    ASSERT_EQ(set.PutInt("word", 1), kHashOk);
    ASSERT_EQ(set.PutInt("word", 5), kHashOk);
    int value = 0;
    ASSERT_EQ(set.FindInt("word", &value), kHashOk);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(set.EntryCount(), 1);
}

TEST(KxHashSet, KeysOfOneBucketAreAllFound)
{
    // With one bucket every key shares a chain.
    KxHashSet set;
    ASSERT_EQ(set.Create(1), kHashOk);
    ASSERT_EQ(set.PutString("older", "first"), kHashOk);
    ASSERT_EQ(set.PutString("newer", "second"), kHashOk);
    char buffer[16];
    ASSERT_EQ(set.FindString("older", buffer, sizeof buffer), kHashOk);
    EXPECT_STREQ(buffer, "first");
    ASSERT_EQ(set.FindString("newer", buffer, sizeof buffer), kHashOk);
    EXPECT_STREQ(buffer, "second");
    EXPECT_EQ(set.Contains("absent"), kHashNotFound);
}

TEST(KxHashSet, KeysAreCaseSensitiveAndPairsKeepTheirValue)
{
    KxHashSet set;
    ASSERT_EQ(set.Create(2003), kHashOk);
    ASSERT_EQ(set.PutPair("Key", 2.5), kHashOk);
    EXPECT_EQ(set.Contains("key"), kHashNotFound);
    double value = 0;
    ASSERT_EQ(set.FindPair("Key", &value), kHashOk);
    EXPECT_DOUBLE_EQ(value, 2.5);
}

TEST(KxHashSet, FindStringCutsToTheBuffer)
{
    KxHashSet set;
    ASSERT_EQ(set.Create(11), kHashOk);
    ASSERT_EQ(set.PutString("k", "abcdefgh"), kHashOk);
    char buffer[4];
    ASSERT_EQ(set.FindString("k", buffer, sizeof buffer), kHashOk);
    EXPECT_STREQ(buffer, "abc");
}

TEST(KxHashSet, FreeLeavesNoBuckets)
{
    KxHashSet set;
    ASSERT_EQ(set.Create(13), kHashOk);
    ASSERT_EQ(set.PutInt("a1", 1), kHashOk);
    set.Free();
    EXPECT_EQ(set.BucketCount(), 0);
    EXPECT_EQ(set.EntryCount(), 0);
    EXPECT_EQ(set.PutInt("a1", 1), kHashNullSet);
}

TEST(KxHashSet, ValueOfAnotherSizeIsNoNumber)
{
    KxHashSet set;
    ASSERT_EQ(set.Create(17), kHashOk);
    ASSERT_EQ(set.PutString("text", "abc"), kHashOk);
    ASSERT_EQ(set.PutInt("count", 3), kHashOk);
    int nValue = 42;
    EXPECT_EQ(set.FindInt("text", &nValue), kHashNullValue);
    EXPECT_EQ(nValue, 42);
    double dValue = 1.5;
    EXPECT_EQ(set.FindPair("count", &dValue), kHashNullValue);
    EXPECT_DOUBLE_EQ(dValue, 1.5);
    EXPECT_EQ(set.FindPair("absent", &dValue), kHashNotFound);
    EXPECT_EQ(set.FindInt("count", &nValue), kHashOk);
    EXPECT_EQ(nValue, 3);
}
