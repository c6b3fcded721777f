// The per-thread message queue and the message functions built on it.
#include "platform/core/MessageQueue.h"

#include "platform/core/KernelObject.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/TickCount.h"
#include "platform/core/WinError.h"
#include "platform/core/WindowHandle.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <unordered_map>

namespace {

// The most messages one queue holds; a runaway poster gets ERROR_NOT_ENOUGH_QUOTA instead of
// eating the memory.
constexpr size_t kMaxPosted = 10000;
// A thread that has not looked at its queue for this long counts as hung.
constexpr int64_t kHungMs = 5000;
// The longest slice of a wait that must also pump window-system events.
constexpr DWORD kPumpSliceMs = 10;
// How often a poster waiting for room in a full queue looks again.
constexpr DWORD kRoomPollMs = 2;
// The hwnd filter that selects thread messages only.
const HWND kThreadOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

IQueueClient g_defaultClient;
std::atomic<IQueueClient*> g_client{&g_defaultClient};

int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct QueueRegistry {
    std::mutex mutex;
    std::unordered_map<DWORD, std::shared_ptr<MessageQueue>> queues;
};

QueueRegistry& TheQueueRegistry()
{
    static QueueRegistry* registry = new QueueRegistry;   // never destroyed: threads end during exit
    return *registry;
}

// Ends the thread's queue when the thread ends.
struct QueueHolder {
    std::shared_ptr<MessageQueue> queue;
    ~QueueHolder()
    {
        if (queue)
            queue->Shutdown();
    }
};
thread_local QueueHolder t_holder;

bool InRange(UINT message, UINT minFilter, UINT maxFilter)
{
    if (minFilter == 0 && maxFilter == 0)
        return true;
    return message >= minFilter && message <= maxFilter;
}

DWORD InputStatusBits(UINT message)
{
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST)
        return QS_KEY;
    if (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE)
        return QS_MOUSEMOVE;
    return QS_MOUSEBUTTON;
}

} // namespace

// ---- The window system's side ----

bool IQueueClient::FindPaintMessage(HWND, MSG&) { return false; }
void IQueueClient::BeforeRetrieve() {}
void IQueueClient::OnMessageRetrieved(MSG&, UINT) {}
POINT IQueueClient::CursorPos() { return POINT{0, 0}; }
namespace {
std::atomic<std::vector<HWND> (*)()> g_broadcastTargets{nullptr};

std::vector<HWND> BroadcastTargets()
{
    auto source = g_broadcastTargets.load();
    return source ? source() : std::vector<HWND>{};
}
} // namespace

void SetBroadcastTargets(std::vector<HWND> (*source)())
{
    g_broadcastTargets.store(source);
}

void SetQueueClient(IQueueClient* client)
{
    g_client.store(client ? client : &g_defaultClient);
}

IQueueClient* GetQueueClient() { return g_client.load(); }

// ---- Cross-thread sends ----

struct MessageQueue::SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::shared_ptr<MessageQueue> sender;   // null: nobody waits (SendNotifyMessage)
    std::atomic<bool> done{false};
    LRESULT result = 0;

    void Complete(LRESULT value)
    {
        if (done.load(std::memory_order_acquire))
            return;
        result = value;
        done.store(true, std::memory_order_release);
        if (sender)
            sender->Wake();
    }
};

namespace {

// Lets MsgWaitForMultipleObjects wait for queue input beside kernel objects.
class QueueSignal : public kernel::KernelObject {
public:
    explicit QueueSignal(MessageQueue* queue, DWORD mask) : m_queue(queue), m_mask(mask) {}
    bool IsWaitable() const override { return true; }
    bool IsSignalledFor(DWORD) const override { return m_signalled.load(); }
    bool Acquire(DWORD) override { return false; }
    void Set()
    {
        std::lock_guard lock(kernel::KernelMutex());
        m_signalled = true;
        kernel::WakeWaiters(*this);
    }
    MessageQueue* m_queue;
    DWORD m_mask;
    std::atomic<bool> m_signalled{false};
};

std::mutex g_signalMutex;
std::unordered_map<MessageQueue*, QueueSignal*> g_signals;   // queues inside a MsgWait

void RaiseSignal(MessageQueue* queue)
{
    std::lock_guard lock(g_signalMutex);
    auto it = g_signals.find(queue);
    if (it != g_signals.end())
        it->second->Set();
}

} // namespace

// ---- MessageQueue ----

MessageQueue::MessageQueue(DWORD threadId) : m_threadId(threadId), m_lastCheckMs(SteadyMs()) {}

MessageQueue::~MessageQueue() = default;

MessageQueue& MessageQueue::ForCurrentThread()
{
    if (!t_holder.queue) {
        DWORD thread = GetCurrentThreadId();
        auto queue = std::make_shared<MessageQueue>(thread);
        QueueRegistry& registry = TheQueueRegistry();
        std::lock_guard lock(registry.mutex);
        registry.queues[thread] = queue;
        t_holder.queue = queue;
    }
    return *t_holder.queue;
}

std::shared_ptr<MessageQueue> MessageQueue::ForThread(DWORD threadId)
{
    QueueRegistry& registry = TheQueueRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.queues.find(threadId);
    return it == registry.queues.end() ? nullptr : it->second;
}

void MessageQueue::Wake()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_wakeSeq;
    }
    m_cv.notify_all();
    if (IEventPump* pump = m_pump)
        pump->Wake();
    RaiseSignal(this);
}

bool MessageQueue::Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg{hwnd, message, wParam, lParam, GetTickCount(), GetQueueClient()->CursorPos()};
    {
        std::lock_guard lock(m_mutex);
        if (m_ended)
            return false;
        if (m_posted.size() >= kMaxPosted) {
            SetLastError(ERROR_NOT_ENOUGH_QUOTA);
            return false;
        }
        m_posted.push_back(msg);
    }
    Wake();
    return true;
}

bool MessageQueue::PostFirst(const std::vector<MSG>& messages)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_ended)
            return false;
        m_posted.insert(m_posted.begin(), messages.begin(), messages.end());
    }
    Wake();
    return true;
}

bool MessageQueue::PostInput(const MSG& msg)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_ended || m_input.size() >= kMaxPosted)
            return false;
        m_input.push_back(msg);
    }
    Wake();
    return true;
}

bool MessageQueue::QueueSent(const std::shared_ptr<SentMessage>& sent)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_ended)
            return false;
        m_sent.push_back(sent);
    }
    Wake();
    return true;
}

void MessageQueue::PostQuit(int exitCode)
{
    m_quit = true;
    m_quitCode = exitCode;
    Wake();
}

void MessageQueue::Touch()
{
    m_lastCheckMs.store(SteadyMs());
}

bool MessageQueue::IsHung() const
{
    std::lock_guard lock(m_mutex);
    if (m_waiting)
        return false;
    return SteadyMs() - m_lastCheckMs.load() > kHungMs;
}

bool MessageQueue::Matches(const MSG& msg, HWND hwndFilter, UINT minFilter, UINT maxFilter)
{
    if (hwndFilter == kThreadOnly) {
        if (msg.hwnd)
            return false;
    } else if (hwndFilter && msg.hwnd != hwndFilter) {
        return false;
    }
    return InRange(msg.message, minFilter, maxFilter);
}

bool MessageQueue::TakeFrom(std::deque<MSG>& list, MSG& msg, HWND hwndFilter, UINT minFilter,
                            UINT maxFilter, bool remove)
{
    std::lock_guard lock(m_mutex);
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (Matches(*it, hwndFilter, minFilter, maxFilter)) {
            msg = *it;
            if (remove)
                list.erase(it);
            return true;
        }
    }
    return false;
}

bool MessageQueue::DeliverSentMessages()
{
    bool any = false;
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard lock(m_mutex);
            if (m_sent.empty())
                break;
            sent = std::move(m_sent.front());
            m_sent.pop_front();
        }
        any = true;
        LRESULT result = 0;
        WindowObject* window = WindowTable::Find(sent->hwnd);
        if (window && window->ThreadId() == m_threadId) {
            WindowRef keep(window);
            SentMessage* previous = m_currentSend;
            m_currentSend = sent.get();
            try {
                result = window->Deliver(sent->message, sent->wParam, sent->lParam);
            } catch (...) {
                // A handler's exception must not strand the waiting sender.
                m_currentSend = previous;
                sent->Complete(0);
                throw;
            }
            m_currentSend = previous;
        }
        sent->Complete(result);
    }
    return any;
}

bool MessageQueue::FindTimer(MSG& msg, HWND hwndFilter, bool remove)
{
    if (m_timers.empty())
        return false;
    DWORD now = GetTickCount();
    Timer* best = nullptr;
    for (Timer& timer : m_timers) {
        if (hwndFilter == kThreadOnly && timer.hwnd)
            continue;
        if (hwndFilter && hwndFilter != kThreadOnly && timer.hwnd != hwndFilter)
            continue;
        if (static_cast<int32_t>(now - timer.due) < 0)
            continue;
        if (!best || static_cast<int32_t>(timer.due - best->due) < 0)
            best = &timer;
    }
    if (!best)
        return false;
    msg = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), now,
              GetQueueClient()->CursorPos()};
    if (remove)
        best->due = now + best->elapse;
    return true;
}

bool MessageQueue::Peek(MSG& msg, HWND hwndFilter, UINT minFilter, UINT maxFilter, UINT removeFlags)
{
    Touch();
    DeliverSentMessages();
    GetQueueClient()->BeforeRetrieve();
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    DWORD kinds = removeFlags >> 16;
    if (kinds == 0)
        kinds = QS_ALLINPUT;
    auto takeQueued = [&] {
        return ((kinds & QS_POSTMESSAGE) && TakeFrom(m_posted, msg, hwndFilter, minFilter, maxFilter, remove)) ||
               ((kinds & QS_INPUT) && TakeFrom(m_input, msg, hwndFilter, minFilter, maxFilter, remove));
    };
    bool found = takeQueued();
    if (!found) {
        // Loops that only peek must still see the display's events.
        if (IEventPump* pump = m_pump) {
            pump->PumpEvents(0);
            GetQueueClient()->BeforeRetrieve();
            found = takeQueued();
        }
    }
    if (!found && m_quit && (kinds & QS_POSTMESSAGE)) {
        // WM_QUIT comes whatever the filters, once nothing else is posted.
        msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(m_quitCode), 0, GetTickCount(),
                  GetQueueClient()->CursorPos()};
        if (remove)
            m_quit = false;
        found = true;
    }
    if (!found && (kinds & QS_PAINT) && InRange(WM_PAINT, minFilter, maxFilter) &&
        hwndFilter != kThreadOnly && GetQueueClient()->FindPaintMessage(hwndFilter, msg)) {
        msg.time = GetTickCount();
        msg.pt = GetQueueClient()->CursorPos();
        found = true;
    }
    if (!found && (kinds & QS_TIMER) && InRange(WM_TIMER, minFilter, maxFilter) &&
        FindTimer(msg, hwndFilter, remove))
        found = true;
    if (!found)
        return false;
    m_lastTime = msg.time;
    m_lastPos = msg.pt;
    GetQueueClient()->OnMessageRetrieved(msg, removeFlags);
    return true;
}

DWORD MessageQueue::Status()
{
    DWORD bits = 0;
    {
        std::lock_guard lock(m_mutex);
        if (!m_posted.empty())
            bits |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
        for (const MSG& msg : m_input)
            bits |= InputStatusBits(msg.message);
        if (!m_sent.empty())
            bits |= QS_SENDMESSAGE;
    }
    if (m_quit)
        bits |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
    MSG paint;
    if (GetQueueClient()->FindPaintMessage(nullptr, paint))
        bits |= QS_PAINT;
    if (TimeToNextTimer() == 0)
        bits |= QS_TIMER;
    return bits;
}

DWORD MessageQueue::TimeToNextTimer()
{
    if (m_timers.empty())
        return INFINITE;
    DWORD now = GetTickCount();
    DWORD best = INFINITE;
    for (const Timer& timer : m_timers) {
        int32_t left = static_cast<int32_t>(timer.due - now);
        DWORD wait = left <= 0 ? 0 : static_cast<DWORD>(left);
        best = std::min(best, wait);
    }
    return best;
}

void MessageQueue::WaitForWork(DWORD timeoutMs)
{
    uint64_t seen;
    {
        std::lock_guard lock(m_mutex);
        seen = m_wakeSeq;
    }
    WaitForWake(seen, timeoutMs);
}

uint64_t MessageQueue::WakeSeq() const
{
    std::lock_guard lock(m_mutex);
    return m_wakeSeq;
}

void MessageQueue::WaitForWake(uint64_t seen, DWORD timeoutMs)
{
    DWORD timerWait = TimeToNextTimer();
    DWORD wait = std::min(timeoutMs, timerWait);
    {
        std::lock_guard lock(m_mutex);
        if (m_wakeSeq != seen || !m_sent.empty() || m_ended)
            return;
        m_waiting = true;
    }
    if (IEventPump* pump = m_pump) {
        pump->PumpEvents(wait);
    } else {
        std::unique_lock lock(m_mutex);
        auto woken = [&] { return m_wakeSeq != seen || m_ended; };
        if (wait == INFINITE)
            m_cv.wait(lock, woken);
        else
            m_cv.wait_for(lock, std::chrono::milliseconds(wait), woken);
    }
    std::lock_guard lock(m_mutex);
    m_waiting = false;
}

bool MessageQueue::WaitForReply(SentMessage& sent, DWORD timeoutMs)
{
    const int64_t start = SteadyMs();
    for (;;) {
        DeliverSentMessages();
        std::unique_lock lock(m_mutex);
        if (sent.done.load(std::memory_order_acquire))
            return true;
        if (!m_sent.empty())
            continue;
        auto ready = [&] { return sent.done.load(std::memory_order_acquire) || !m_sent.empty(); };
        if (timeoutMs == INFINITE) {
            m_cv.wait(lock, ready);
        } else {
            int64_t left = static_cast<int64_t>(timeoutMs) - (SteadyMs() - start);
            if (left <= 0)
                return sent.done.load(std::memory_order_acquire);
            m_cv.wait_for(lock, std::chrono::milliseconds(left), ready);
        }
    }
}

UINT_PTR MessageQueue::SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    elapse = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    const DWORD due = GetTickCount() + elapse;
    if (!hwnd) {
        for (Timer& timer : m_timers) {
            if (!timer.hwnd && timer.id == id && id != 0) {
                timer.elapse = elapse;
                timer.due = due;
                timer.proc = proc;
                return id;
            }
        }
        // A new thread timer: the next id not in use.
        for (;;) {
            UINT_PTR candidate = m_nextThreadTimerId++;
            if (candidate == 0)
                continue;
            bool used = std::any_of(m_timers.begin(), m_timers.end(), [&](const Timer& timer) {
                return !timer.hwnd && timer.id == candidate;
            });
            if (!used) {
                m_timers.push_back(Timer{nullptr, candidate, elapse, due, proc});
                return candidate;
            }
        }
    }
    for (Timer& timer : m_timers) {
        if (timer.hwnd == hwnd && timer.id == id) {
            timer.elapse = elapse;
            timer.due = due;
            timer.proc = proc;
            return id ? id : 1;
        }
    }
    m_timers.push_back(Timer{hwnd, id, elapse, due, proc});
    return id ? id : 1;
}

bool MessageQueue::KillTimer(HWND hwnd, UINT_PTR id)
{
    auto it = std::find_if(m_timers.begin(), m_timers.end(),
                           [&](const Timer& timer) { return timer.hwnd == hwnd && timer.id == id; });
    if (it == m_timers.end())
        return false;
    m_timers.erase(it);
    return true;
}

void MessageQueue::KillTimersOf(HWND hwnd)
{
    std::erase_if(m_timers, [&](const Timer& timer) { return timer.hwnd == hwnd; });
}

bool MessageQueue::IsTimerProc(HWND hwnd, UINT_PTR id, TIMERPROC proc) const
{
    return std::any_of(m_timers.begin(), m_timers.end(), [&](const Timer& timer) {
        return timer.hwnd == hwnd && timer.id == id && timer.proc == proc;
    });
}

void MessageQueue::Shutdown()
{
    // The thread's windows go with it, as on the platform.
    try {
        for (HWND hwnd : WindowTable::ThreadWindows(m_threadId)) {
            if (WindowObject* window = WindowTable::Find(hwnd))
                window->Destroy();
        }
    } catch (...) {
        // Nothing may unwind out of a thread's end.
    }
    std::deque<std::shared_ptr<SentMessage>> pending;
    {
        std::lock_guard lock(m_mutex);
        m_ended = true;
        pending.swap(m_sent);
        m_posted.clear();
        m_input.clear();
    }
    for (auto& sent : pending)
        sent->Complete(0);
    m_cv.notify_all();
    {
        QueueRegistry& registry = TheQueueRegistry();
        std::lock_guard lock(registry.mutex);
        auto it = registry.queues.find(m_threadId);
        if (it != registry.queues.end() && it->second.get() == this)
            registry.queues.erase(it);
    }
}

// ---- The message functions ----

namespace {

LRESULT SendAcrossThreads(DWORD owner, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                          DWORD timeoutMs, bool abortIfHung, bool* completed)
{
    *completed = false;
    auto target = MessageQueue::ForThread(owner);
    if (!target) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (abortIfHung && target->IsHung()) {
        SetLastError(ERROR_TIMEOUT);
        return 0;
    }
    MessageQueue& mine = MessageQueue::ForCurrentThread();
    auto sent = std::make_shared<MessageQueue::SentMessage>();
    sent->hwnd = hwnd;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    sent->sender = mine.shared_from_this();
    if (!target->QueueSent(sent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (!mine.WaitForReply(*sent, timeoutMs)) {
        SetLastError(ERROR_TIMEOUT);
        return 0;
    }
    *completed = true;
    return sent->result;
}

LRESULT SendOnThisThread(WindowObject* window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowRef keep(window);
    return window->Deliver(message, wParam, lParam);
}

} // namespace

BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (hWnd == HWND_BROADCAST) {
        for (HWND target : BroadcastTargets())
            PostMessage(target, Msg, wParam, lParam);
        return TRUE;
    }
    if (!hWnd) {
        return MessageQueue::ForCurrentThread().Post(nullptr, Msg, wParam, lParam);
    }
    DWORD owner = WindowTable::OwnerThread(hWnd);
    if (!owner) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    auto queue = MessageQueue::ForThread(owner);
    if (!queue || !queue->Post(hWnd, Msg, wParam, lParam)) {
        if (!queue)
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL PostMessageWhenRoom(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    for (;;) {
        if (PostMessage(hWnd, Msg, wParam, lParam))
            return TRUE;
        // A window that is gone (or never was) fails at once, as does the window's own thread.
        if (GetLastError() != ERROR_NOT_ENOUGH_QUOTA || hWnd == nullptr || hWnd == HWND_BROADCAST)
            return FALSE;
        const DWORD owner = WindowTable::OwnerThread(hWnd);
        if (owner == 0 || owner == GetCurrentThreadId())
            return FALSE;
        Sleep(kRoomPollMs);
    }
}

BOOL PostThreadMessage(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    auto queue = MessageQueue::ForThread(idThread);
    if (!queue) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return queue->Post(nullptr, Msg, wParam, lParam) ? TRUE : FALSE;
}

LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (hWnd == HWND_BROADCAST) {
        for (HWND target : BroadcastTargets())
            SendMessage(target, Msg, wParam, lParam);
        return 0;
    }
    DWORD owner = WindowTable::OwnerThread(hWnd);
    if (!owner) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (owner == GetCurrentThreadId()) {
        WindowObject* window = WindowTable::Find(hWnd);
        return window ? SendOnThisThread(window, Msg, wParam, lParam) : 0;
    }
    bool completed;
    return SendAcrossThreads(owner, hWnd, Msg, wParam, lParam, INFINITE, false, &completed);
}

LRESULT SendMessageTimeout(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, UINT fuFlags,
                           UINT uTimeout, DWORD_PTR* lpdwResult)
{
    DWORD owner = WindowTable::OwnerThread(hWnd);
    if (!owner) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LRESULT result;
    bool completed = true;
    if (owner == GetCurrentThreadId()) {
        WindowObject* window = WindowTable::Find(hWnd);
        result = window ? SendOnThisThread(window, Msg, wParam, lParam) : 0;
    } else {
        DWORD timeout = (fuFlags & SMTO_NOTIMEOUTIFNOTHUNG) ? INFINITE : uTimeout;
        result = SendAcrossThreads(owner, hWnd, Msg, wParam, lParam, timeout,
                                   (fuFlags & SMTO_ABORTIFHUNG) != 0, &completed);
    }
    if (lpdwResult)
        *lpdwResult = static_cast<DWORD_PTR>(result);
    return completed ? TRUE : 0;
}

BOOL SendNotifyMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    DWORD owner = WindowTable::OwnerThread(hWnd);
    if (!owner) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (owner == GetCurrentThreadId()) {
        if (WindowObject* window = WindowTable::Find(hWnd))
            SendOnThisThread(window, Msg, wParam, lParam);
        return TRUE;
    }
    auto target = MessageQueue::ForThread(owner);
    if (!target)
        return FALSE;
    auto sent = std::make_shared<MessageQueue::SentMessage>();
    sent->hwnd = hWnd;
    sent->message = Msg;
    sent->wParam = wParam;
    sent->lParam = lParam;
    return target->QueueSent(sent) ? TRUE : FALSE;
}

BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    MSG msg{};
    if (!MessageQueue::ForCurrentThread().Peek(msg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg))
        return FALSE;
    if (lpMsg)
        *lpMsg = msg;
    return TRUE;
}

BOOL GetMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    if (!lpMsg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (hWnd && hWnd != kThreadOnly && WindowTable::OwnerThread(hWnd) != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    MessageQueue& queue = MessageQueue::ForCurrentThread();
    for (;;) {
        uint64_t seen = queue.WakeSeq();
        if (queue.Peek(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, PM_REMOVE))
            return lpMsg->message == WM_QUIT ? FALSE : TRUE;
        queue.WaitForWake(seen, INFINITE);
    }
}

LRESULT DispatchMessage(const MSG* lpMsg)
{
    if (!lpMsg)
        return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        // Only the procedure a live timer was set with is called: a forged lParam is ignored.
        auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
        if (MessageQueue::ForCurrentThread().IsTimerProc(lpMsg->hwnd, lpMsg->wParam, proc))
            proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
        return 0;
    }
    if (!lpMsg->hwnd)
        return 0;
    WindowObject* window = WindowTable::Find(lpMsg->hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (window->ThreadId() != GetCurrentThreadId()) {
        SetLastError(ERROR_MESSAGE_SYNC_ONLY);
        return 0;
    }
    return SendOnThisThread(window, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

void PostQuitMessage(int nExitCode)
{
    MessageQueue::ForCurrentThread().PostQuit(nExitCode);
}

BOOL WaitMessage()
{
    MessageQueue& queue = MessageQueue::ForCurrentThread();
    uint64_t seen = queue.WakeSeq();
    queue.DeliverSentMessages();
    if (queue.Status() & QS_ALLINPUT & ~QS_SENDMESSAGE)
        return TRUE;
    queue.WaitForWake(seen, INFINITE);
    return TRUE;
}

DWORD GetQueueStatus(UINT flags)
{
    DWORD bits = MessageQueue::ForCurrentThread().Status() & flags;
    return (bits << 16) | bits;
}

DWORD GetMessagePos()
{
    POINT pt = MessageQueue::ForCurrentThread().LastMessagePos();
    return static_cast<DWORD>(MAKELONG(pt.x, pt.y));
}

LONG GetMessageTime()
{
    return static_cast<LONG>(MessageQueue::ForCurrentThread().LastMessageTime());
}

BOOL InSendMessage()
{
    return MessageQueue::ForCurrentThread().CurrentIncomingSend() != nullptr;
}

DWORD InSendMessageEx(LPVOID)
{
    MessageQueue::SentMessage* sent = MessageQueue::ForCurrentThread().CurrentIncomingSend();
    if (!sent)
        return ISMEX_NOSEND;
    DWORD flags = sent->sender ? ISMEX_SEND : ISMEX_NOTIFY;
    if (sent->done.load())
        flags |= ISMEX_REPLIED;
    return flags;
}

BOOL ReplyMessage(LRESULT lResult)
{
    MessageQueue::SentMessage* sent = MessageQueue::ForCurrentThread().CurrentIncomingSend();
    if (!sent || sent->done.load())
        return FALSE;
    sent->Complete(lResult);
    return TRUE;
}

DWORD MsgWaitForMultipleObjectsEx(DWORD nCount, const HANDLE* pHandles, DWORD dwMilliseconds,
                                  DWORD dwWakeMask, DWORD dwFlags)
{
    if (nCount > MAXIMUM_WAIT_OBJECTS - 1 || (nCount && !pHandles)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<kernel::KernelObject>> objects;
    objects.reserve(nCount + 1);
    for (DWORD i = 0; i < nCount; ++i) {
        auto object = kernel::ReferenceHandle(pHandles[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objects.push_back(std::move(object));
    }
    MessageQueue& queue = MessageQueue::ForCurrentThread();
    auto signal = std::make_shared<QueueSignal>(&queue, dwWakeMask);
    objects.push_back(signal);
    {
        std::lock_guard lock(g_signalMutex);
        g_signals[&queue] = signal.get();
    }
    struct Unregister {
        MessageQueue* queue;
        ~Unregister()
        {
            std::lock_guard lock(g_signalMutex);
            g_signals.erase(queue);
        }
    } unregister{&queue};

    const bool waitAll = (dwFlags & MWMO_WAITALL) != 0;
    const int64_t start = SteadyMs();
    const DWORD inputResult = WAIT_OBJECT_0 + nCount;
    const auto handles = std::span(objects.data(), objects.size() - 1);
    for (;;) {
        // Cleared before looking, so that an arrival after the look ends the wait below.
        signal->m_signalled = false;
        if (IEventPump* pump = queue.EventPump())
            pump->PumpEvents(0);
        queue.DeliverSentMessages();
        const bool input = (queue.Status() & dwWakeMask) != 0;
        if (input && !waitAll)
            return inputResult;
        if (input && waitAll) {
            // Wait-all asks for every object and input together.
            DWORD r = kernel::WaitForObjects(handles, true, 0);
            if (r != WAIT_TIMEOUT)
                return r;
        }
        DWORD left = INFINITE;
        if (dwMilliseconds != INFINITE) {
            int64_t remaining = static_cast<int64_t>(dwMilliseconds) - (SteadyMs() - start);
            if (remaining <= 0)
                return WAIT_TIMEOUT;
            left = static_cast<DWORD>(remaining);
        }
        DWORD slice = std::min(left, queue.TimeToNextTimer());
        if (queue.EventPump() || waitAll)
            slice = std::min(slice, kPumpSliceMs);   // bounded slices: events are pumped between
        if (waitAll) {
            // The objects are left alone until input is there too; wait for input only.
            std::vector<std::shared_ptr<kernel::KernelObject>> only{signal};
            DWORD r = kernel::WaitForObjects(only, false, slice);
            if (r == WAIT_FAILED)
                return r;
            continue;
        }
        DWORD r = kernel::WaitForObjects(objects, false, slice);
        if (r == WAIT_FAILED)
            return r;
        if (r == WAIT_TIMEOUT || r == inputResult)
            continue;
        return r;
    }
}

DWORD MsgWaitForMultipleObjects(DWORD nCount, const HANDLE* pHandles, BOOL fWaitAll,
                                DWORD dwMilliseconds, DWORD dwWakeMask)
{
    return MsgWaitForMultipleObjectsEx(nCount, pHandles, dwMilliseconds, dwWakeMask,
                                       fWaitAll ? MWMO_WAITALL : 0);
}

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    if (hWnd && WindowTable::OwnerThread(hWnd) != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return MessageQueue::ForCurrentThread().SetTimer(hWnd, nIDEvent, uElapse, lpTimerFunc);
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent)
{
    return MessageQueue::ForCurrentThread().KillTimer(hWnd, uIDEvent) ? TRUE : FALSE;
}

void KillTimersOfWindow(HWND hWnd)
{
    MessageQueue::ForCurrentThread().KillTimersOf(hWnd);
}
