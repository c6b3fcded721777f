#include "platform/core/Interlocked.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(Interlocked, EachCallAnswersTheDocumentedValue)
{
    LONG value = 5;
    EXPECT_EQ(InterlockedIncrement(&value), 6);
    EXPECT_EQ(InterlockedDecrement(&value), 5);
    EXPECT_EQ(InterlockedExchange(&value, 40), 5);
    EXPECT_EQ(value, 40);
    EXPECT_EQ(InterlockedExchangeAdd(&value, -10), 40);
    EXPECT_EQ(value, 30);
    EXPECT_EQ(InterlockedCompareExchange(&value, 99, 1), 30);   // no match: unchanged
    EXPECT_EQ(value, 30);
    EXPECT_EQ(InterlockedCompareExchange(&value, 99, 30), 30);
    EXPECT_EQ(value, 99);

    LONG edge = 0x7FFFFFFF;
    EXPECT_EQ(InterlockedIncrement(&edge), static_cast<LONG>(0x80000000u));   // wraps, no trap
    EXPECT_EQ(InterlockedDecrement(&edge), 0x7FFFFFFF);

    int a = 0;
    int b = 0;
    void* pointer = &a;
    EXPECT_EQ(InterlockedExchangePointer(&pointer, &b), &a);
    EXPECT_EQ(pointer, &b);
    EXPECT_EQ(InterlockedCompareExchangePointer(&pointer, &a, &a), &b);
    EXPECT_EQ(pointer, &b);
    EXPECT_EQ(InterlockedCompareExchangePointer(&pointer, &a, &b), &b);
    EXPECT_EQ(pointer, &a);
}

TEST(Interlocked, CountersStayExactUnderContention)
{
    volatile LONG counter = 0;
    volatile LONG balance = 0;
    LONG claimed = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20000; ++i) {
                InterlockedIncrement(&counter);
                InterlockedExchangeAdd(&balance, 3);
                InterlockedDecrement(&balance);
            }
            // Exactly one thread wins the claim.
            InterlockedCompareExchange(&claimed, static_cast<LONG>(t + 1), 0);
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(static_cast<LONG>(counter), 120000);
    EXPECT_EQ(static_cast<LONG>(balance), 240000);
    EXPECT_GE(claimed, 1);
    EXPECT_LE(claimed, 6);
}

} // namespace
