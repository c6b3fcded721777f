#include "keywords/KxHashSet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(KxHashSet, ALargeSetMadeAgainStartsEmpty)
{
    // Sets made and freed one after another on one thread: a chain left in a bucket array
    // would show in the next set as keys it never held.
    std::vector<std::string> keys;
    for (int i = 0; i < 5000; ++i)
        keys.push_back("key" + std::to_string(i * 7919));
    for (int round = 0; round < 3; ++round) {
        KxHashSet sets[5];
        for (KxHashSet& set : sets) {
            ASSERT_EQ(set.Create(30001), kHashOk);
            for (const std::string& k : keys)
                EXPECT_EQ(set.Contains(k.c_str()), kHashNotFound) << round << " " << k;
            for (size_t i = round; i < keys.size(); i += 2)
                ASSERT_EQ(set.PutInt(keys[i].c_str(), static_cast<int>(i)), kHashOk);
            EXPECT_EQ(set.EntryCount(), static_cast<int>((keys.size() - round + 1) / 2));
            int value = -1;
            EXPECT_EQ(set.FindInt(keys[round].c_str(), &value), kHashOk);
            EXPECT_EQ(value, round);
        }
        sets[0].Free();
        EXPECT_EQ(sets[0].BucketCount(), 0);
        EXPECT_EQ(sets[0].Contains(keys[round].c_str()), kHashNotFound);
    }
}
