#include "platform/core/CException.h"
#include "platform/core/ErrorGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// A class-library exception with a text, counting its deletions.
class CountedException : public CException {
public:
    explicit CountedException(int& nDeleted) : m_nDeleted(nDeleted) {}
    ~CountedException() override { ++m_nDeleted; }
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* = nullptr) const override
    {
        snprintf(lpszError, nMaxError, "%s", "the disk is full");
        return TRUE;
    }

private:
    int& m_nDeleted;
};

TEST(ErrorGuardTest, KeepsTheFirstErrorOfAnyKindAndTellsOnce)
{
    std::vector<std::string> told;
    ErrorGuard guard([&](const std::string& strMessage) { told.push_back(strMessage); });
    EXPECT_TRUE(guard.Run([] {}));
    EXPECT_FALSE(guard.HasError());

    int nDeleted = 0;
    EXPECT_FALSE(guard.Run([&] { throw new CountedException(nDeleted); }));
    EXPECT_EQ(nDeleted, 1);   // a class-library exception is freed once described
    EXPECT_FALSE(guard.Run([] { throw std::runtime_error("second"); }));
    EXPECT_EQ(guard.Call<int>(-1, []() -> int { throw 42; }), -1);
    EXPECT_EQ(guard.Call<int>(-1, [] { return 7; }), 7);
    EXPECT_EQ(guard.GetFirstError(), "the disk is full");
    EXPECT_EQ(told, std::vector<std::string>({"the disk is full"}));

    guard.Reset();
    EXPECT_FALSE(guard.HasError());
    guard.Fail("refused");
    EXPECT_FALSE(guard.Run([] { throw 1; }));
    EXPECT_EQ(guard.GetFirstError(), "refused");
    EXPECT_EQ(told.size(), 2u);
}

TEST(ErrorGuardTest, AThrowingHandlerAndManyThreadsLeaveOneError)
{
    int nCalls = 0;
    ErrorGuard guard([&](const std::string&) {
        ++nCalls;
        throw std::logic_error("handler");
    });
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&guard, i] { guard.Run([i] { throw std::runtime_error("thread " + std::to_string(i)); }); });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(nCalls, 1);
    EXPECT_EQ(guard.GetFirstError().rfind("thread ", 0), 0u);
    EXPECT_FALSE(guard.Run([] { throw 3.5; }));
    ErrorGuard plain;
    plain.Run([] { throw 3.5; });
    EXPECT_EQ(plain.GetFirstError(), "An unknown error was thrown");
}

} // namespace
