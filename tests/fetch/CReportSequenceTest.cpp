#include "FakeTaskSink.h"

#include "fetch/CReportSequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// The reports of one page: its title, then its end.
CRecordedReports::Reports PageReports(DWORD_PTR dwPage)
{
    CRecordedReports recorded;
    const std::string title = "Page " + std::to_string(dwPage);
    recorded.OnTitle(dwPage, title.c_str());
    recorded.ReportResult(dwPage, 3, 0x81000001, 0, nullptr, 0);
    recorded.OnTaskDone(dwPage);
    return recorded.Take();
}

TEST(CReportSequenceTest, PagesFinishedInAnyOrderOnAnyThreadAreToldInTheirOwnOrderOnce)
{
    FakeTaskSink owner;
    std::vector<DWORD_PTR> ends;
    owner.m_onTaskDone = [&](DWORD_PTR dwPage) { ends.push_back(dwPage); };
    // Room for every page, so that the threads below, each handing over pages in no order of
    // taking, never wait for one another.
    CReportSequence sequence(1000);

    // Page 2 and 1 finish before page 0: nothing is told until page 0 has been handed over.
    sequence.HandOver(2, PageReports(2), owner);
    sequence.HandOver(1, PageReports(1), owner);
    EXPECT_TRUE(ends.empty());
    EXPECT_EQ(sequence.GetWaitingCount(), 2u);
    sequence.HandOver(0, PageReports(0), owner);
    EXPECT_EQ(ends, (std::vector<DWORD_PTR>{0, 1, 2}));
    EXPECT_EQ(sequence.GetWaitingCount(), 0u);
    EXPECT_EQ(owner.Page(1).title, "Page 1");
    // A result passes through the interface's own formatting, as it would have unheld.
    ASSERT_EQ(owner.Page(1).results.size(), 1u);
    EXPECT_EQ(owner.Page(1).results[0].dwCode, 0x81000001u);

    // Many threads handing over the next pages in a shuffled order.
    constexpr DWORD_PTR kPages = 400;
    std::vector<DWORD_PTR> order(kPages - 3);
    std::iota(order.begin(), order.end(), 3);
    std::shuffle(order.begin(), order.end(), std::mt19937(42));
    std::vector<std::thread> threads;
    for (size_t t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (size_t i = t; i < order.size(); i += 4)
                sequence.HandOver(order[i], PageReports(order[i]), owner);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    std::vector<DWORD_PTR> expected(kPages);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(ends, expected);
    EXPECT_EQ(owner.DoneCount(), static_cast<int>(kPages));
}

TEST(CReportSequenceTest, AnOwnerThatThrowsLeavesTheLaterPagesToTheNextHandOver)
{
    FakeTaskSink owner;
    std::vector<DWORD_PTR> ends;
    owner.m_onTaskDone = [&](DWORD_PTR dwPage) { ends.push_back(dwPage); };
    owner.m_onTitle = [](DWORD_PTR dwPage) {
        if (dwPage == 1)
            throw std::runtime_error("no room");
    };
    CReportSequence sequence(8);
    sequence.HandOver(2, PageReports(2), owner);
    sequence.HandOver(1, PageReports(1), owner);
    EXPECT_THROW(sequence.HandOver(0, PageReports(0), owner), std::runtime_error);
    // Page 0 was told; page 1 failed at its title and told no more; page 2 still waits, and the
    // next hand-over tells it with its own.
    EXPECT_EQ(ends, (std::vector<DWORD_PTR>{0}));
    sequence.HandOver(3, PageReports(3), owner);
    EXPECT_EQ(ends, (std::vector<DWORD_PTR>{0, 2, 3}));
}

// Waits until a worker waits for room in the sequence; false if none does within a minute.
bool WorkerWaits(CReportSequence& sequence)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (sequence.GetWorkersWaitingForRoom() == 0) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(CReportSequenceTest, AWorkerWaitsForRoomUntilTheTurnHasComeOrTheEngineStops)
{
    FakeTaskSink owner;
    std::vector<DWORD_PTR> ends;
    owner.m_onTaskDone = [&](DWORD_PTR dwPage) { ends.push_back(dwPage); };

    // Two pages' reports fill the room: the worker with page 3 waits, and goes on once page 0,
    // whose turn it is, has been handed over and its reports and the next told.
    CReportSequence sequence(2);
    sequence.HandOver(1, PageReports(1), owner);
    sequence.HandOver(2, PageReports(2), owner);
    std::thread worker([&] { sequence.HandOver(3, PageReports(3), owner); });
    ASSERT_TRUE(WorkerWaits(sequence));
    EXPECT_EQ(sequence.GetWaitingCount(), 2u);
    EXPECT_TRUE(ends.empty());
    // The page whose turn it is never waits, however full the room.
    sequence.HandOver(0, PageReports(0), owner);
    worker.join();
    EXPECT_EQ(ends, (std::vector<DWORD_PTR>{0, 1, 2, 3}));
    EXPECT_EQ(sequence.GetWorkersWaitingForRoom(), 0u);

    // A stop lets a waiting worker go on at once, its reports left to wait for their turn.
    ends.clear();
    CReportSequence stopped(1);
    stopped.HandOver(1, PageReports(1), owner);
    std::thread stopping([&] { stopped.HandOver(2, PageReports(2), owner); });
    ASSERT_TRUE(WorkerWaits(stopped));
    stopped.StopWaiting();
    stopping.join();
    EXPECT_EQ(stopped.GetWaitingCount(), 2u);
    EXPECT_TRUE(ends.empty());
    // And no worker waits any more.
    stopped.HandOver(3, PageReports(3), owner);
    EXPECT_EQ(stopped.GetWaitingCount(), 3u);
    stopped.HandOver(0, PageReports(0), owner);
    EXPECT_EQ(ends, (std::vector<DWORD_PTR>{0, 1, 2, 3}));
}

} // namespace
