// While a SaveHolder lives, the save's thread stops at a step of its pages' saves until the test
// lets it go on: the test acts on the page at that step (changes it, presses Esc), whatever the
// speed of the machine, instead of racing the save to it. Each page is held at most once. One
// holder at a time.
#pragma once

#include "engine/project/CPageNode.h"
#include "engine/project/SaveHold.h"
#include "tests/support/HangGuard.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>

class SaveHolder {
public:
    // Holds each page at the step; at SaveStep::PagePiece once nAfter bytes of it were read.
    explicit SaveHolder(SaveStep step, ULONGLONG nAfter = 0)
    {
        State& state = Shared();
        {
            std::lock_guard<std::mutex> lock(state.mutex);
            state.bHolding = true;
            state.step = step;
            state.nAfter = nAfter;
            state.held.clear();
            state.pHeld = nullptr;
        }
        SetSaveHoldHook(&Hold);
    }
    // Lets a held page go on, however the test leaves: a save held must not outlive it.
    ~SaveHolder()
    {
        SetSaveHoldHook(nullptr);
        State& state = Shared();
        std::lock_guard<std::mutex> lock(state.mutex);
        state.bHolding = false;
        state.pHeld = nullptr;
        state.changed.notify_all();
    }
    SaveHolder(const SaveHolder&) = delete;
    SaveHolder& operator=(const SaveHolder&) = delete;

    // The name of the page the save is held in now; empty when it is not held.
    std::string HeldPage()
    {
        State& state = Shared();
        std::lock_guard<std::mutex> lock(state.mutex);
        return state.pHeld != nullptr ? state.strHeld : std::string();
    }
    // Waits until the save is held in a page; its name, or empty when none came within the time.
    std::string WaitUntilHeld(std::chrono::milliseconds wait = kHangGuard)
    {
        State& state = Shared();
        std::unique_lock<std::mutex> lock(state.mutex);
        if (!state.changed.wait_for(lock, wait, [&] { return state.pHeld != nullptr; }))
            return std::string();
        return state.strHeld;
    }
    // Lets the held page go on; the next page that comes to the step is held in its turn.
    void Release()
    {
        State& state = Shared();
        std::lock_guard<std::mutex> lock(state.mutex);
        state.pHeld = nullptr;
        state.changed.notify_all();
    }
    // Lets the held page go on, and holds it once more at the step once nAfter bytes of it were
    // read (and every other page from then on).
    void HoldAgainAfter(ULONGLONG nAfter)
    {
        State& state = Shared();
        std::lock_guard<std::mutex> lock(state.mutex);
        state.held.erase(state.pHeld);
        state.nAfter = nAfter;
        state.pHeld = nullptr;
        state.changed.notify_all();
    }

private:
    // Outlives every holder: a save's thread may come to a step after its holder is gone.
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool bHolding = false;
        SaveStep step = SaveStep::PagePiece;
        ULONGLONG nAfter = 0;
        std::set<const CPageNode*> held; // the pages held once already
        const CPageNode* pHeld = nullptr;
        std::string strHeld;
    };
    static State& Shared()
    {
        static State s_state;
        return s_state;
    }
    // The save's thread.
    static void Hold(SaveStep step, const CPageNode& page, ULONGLONG nBytes)
    {
        State& state = Shared();
        std::unique_lock<std::mutex> lock(state.mutex);
        if (!state.bHolding || step != state.step || nBytes < state.nAfter || !state.held.insert(&page).second)
            return;
        state.pHeld = &page;
        state.strHeld = page.GetName().GetString();
        state.changed.notify_all();
        state.changed.wait(lock, [&] { return state.pHeld != &page || !state.bHolding; });
    }
};
