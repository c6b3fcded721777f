// The per-thread message queue: posted, sent and input messages, the quit flag, timers, and the
// waits that combine the queue with kernel objects and the window system's event pump.
#pragma once

#include "platform/core/Types.h"
#include "platform/core/WinError.h"
#include "platform/core/WinMessages.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#ifndef USER_TIMER_MINIMUM
#define USER_TIMER_MINIMUM 0x0000000A
#define USER_TIMER_MAXIMUM 0x7FFFFFFF
#endif

typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

// The window system's event source (a display connection, or a test backend). The queue of the
// thread it is installed on calls PumpEvents while it waits; the pump reads its events and
// posts input and notifications into the queues, never calling window objects directly.
class IEventPump {
public:
    virtual ~IEventPump() = default;
    // Handles pending events and waits for more up to the time-out (ms, INFINITE allowed). It
    // returns early once Wake has been called since the previous return (the wake is latched).
    virtual void PumpEvents(DWORD timeoutMs) = 0;
    // Ends a PumpEvents wait. Callable from any thread.
    virtual void Wake() = 0;
};

// The window system's side of the queues, installed once per process (SetQueueClient).
class IQueueClient {
public:
    virtual ~IQueueClient() = default;
    // A WM_PAINT for a window of the calling thread that needs painting, or false. hwnd
    // filters as PeekMessage does (null: any window). Paint messages stay until validated.
    virtual bool FindPaintMessage(HWND hwndFilter, MSG& msg);
    // Called on the owning thread each time it looks at its queue, after sent messages were
    // delivered: the window manager turns the display's pending events into messages here.
    virtual void BeforeRetrieve();
    // Called for every message GetMessage and PeekMessage return (the get-message hook).
    virtual void OnMessageRetrieved(MSG& msg, UINT removeFlags);
    // The cursor position stamped into queued messages. Callable from any thread.
    virtual POINT CursorPos();
};

// The windows a message to HWND_BROADCAST goes to (the window system installs the source of
// its top-level windows; without one a broadcast reaches nobody). Callable from any thread.
void SetBroadcastTargets(std::vector<HWND> (*source)());

// Installs the window system's side of the queues (null: none). The client must outlive its use.
void SetQueueClient(IQueueClient* client);
IQueueClient* GetQueueClient();

// One thread's queue. Created on the first call that needs it; ends with its thread.
class MessageQueue : public std::enable_shared_from_this<MessageQueue> {
public:
    explicit MessageQueue(DWORD threadId);
    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // The calling thread's queue, created when missing.
    static MessageQueue& ForCurrentThread();
    // A thread's queue, or null when that thread has none. Callable from any thread.
    static std::shared_ptr<MessageQueue> ForThread(DWORD threadId);

    DWORD ThreadId() const { return m_threadId; }

    // ---- Callable from any thread ----
    // Appends a posted message (time and cursor position are filled in). False when the queue
    // has ended.
    bool Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Puts messages at the head of the posted messages, in the order given, so that they come
    // next (the characters TranslateMessage makes of a key).
    bool PostFirst(const std::vector<MSG>& messages);
    // Appends an input message (mouse, keyboard) from the event pump. MSG time and pt are kept.
    bool PostInput(const MSG& msg);
    // Wakes a waiting GetMessage, WaitMessage or event pump.
    void Wake();

    // ---- Owning thread only ----
    void PostQuit(int exitCode);
    // PeekMessage's retrieval: sent messages are delivered first; then posted messages, input,
    // WM_QUIT, WM_PAINT and WM_TIMER, in that order.
    bool Peek(MSG& msg, HWND hwndFilter, UINT minFilter, UINT maxFilter, UINT removeFlags);
    // Delivers the sent messages waiting from other threads; true when any was delivered.
    bool DeliverSentMessages();
    // Waits until something arrives or the time-out passes (pumping window-system events).
    void WaitForWork(DWORD timeoutMs);
    // A counter that every arrival raises; WaitForWake returns once it differs from `seen`, the
    // time-out passed or a timer is due. Taking the counter before looking at the queue means no
    // arrival between the look and the wait is missed.
    uint64_t WakeSeq() const;
    void WaitForWake(uint64_t seen, DWORD timeoutMs);
    // The QS_ bits of what is waiting now (the high word of GetQueueStatus).
    DWORD Status();
    // Milliseconds until the earliest timer is due (0 when one is due), or INFINITE.
    DWORD TimeToNextTimer();

    void SetEventPump(IEventPump* pump) { m_pump = pump; }
    IEventPump* EventPump() const { return m_pump; }

    // Timers (owning thread). SetTimer semantics: an existing (hwnd, id) timer is replaced.
    UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
    bool KillTimer(HWND hwnd, UINT_PTR id);
    void KillTimersOf(HWND hwnd);
    // Whether proc is the procedure of the timer (hwnd, id): DispatchMessage calls only those.
    bool IsTimerProc(HWND hwnd, UINT_PTR id, TIMERPROC proc) const;

    // The last retrieved message's time and cursor position (GetMessageTime, GetMessagePos).
    DWORD LastMessageTime() const { return m_lastTime; }
    POINT LastMessagePos() const { return m_lastPos; }

    struct SentMessage;
    // Queues a message sent from another thread. Callable from any thread.
    bool QueueSent(const std::shared_ptr<SentMessage>& sent);
    // Waits for the answer to a message this thread sent to another, delivering the messages
    // sent to this thread meanwhile. False when the time-out passed first.
    bool WaitForReply(SentMessage& sent, DWORD timeoutMs);
    // The cross-thread send being delivered now on this thread, or null.
    SentMessage* CurrentIncomingSend() const { return m_currentSend; }
    // Whether the owning thread looked at its queue lately (SMTO_ABORTIFHUNG). Any thread.
    bool IsHung() const;
    // Ends the queue when its thread ends: pending sends are answered with 0.
    void Shutdown();

private:
    struct Timer {
        HWND hwnd;
        UINT_PTR id;
        UINT elapse;
        DWORD due;
        TIMERPROC proc;
    };
    static bool Matches(const MSG& msg, HWND hwndFilter, UINT minFilter, UINT maxFilter);
    bool TakeFrom(std::deque<MSG>& list, MSG& msg, HWND hwndFilter, UINT minFilter, UINT maxFilter,
                  bool remove);
    bool FindTimer(MSG& msg, HWND hwndFilter, bool remove);
    void Touch();

    const DWORD m_threadId;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    uint64_t m_wakeSeq = 0;
    bool m_ended = false;
    std::deque<MSG> m_posted;
    std::deque<MSG> m_input;
    std::deque<std::shared_ptr<SentMessage>> m_sent;
    std::atomic<int64_t> m_lastCheckMs{0};   // the owning thread's last look at the queue
    bool m_waiting = false;

    // Owning thread only:
    bool m_quit = false;
    int m_quitCode = 0;
    std::vector<Timer> m_timers;
    UINT_PTR m_nextThreadTimerId = 1;
    DWORD m_lastTime = 0;
    POINT m_lastPos{0, 0};
    SentMessage* m_currentSend = nullptr;
    std::atomic<IEventPump*> m_pump{nullptr};
};

// ---- The message functions ----

// Appends a message to the queue of the window's thread (hwnd null: the calling thread's queue).
// Callable from any thread.
BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// PostMessage for a worker whose messages must all arrive (a report of many lines, the end of
// its work): while the window's queue is full it waits until there is room, for as long as the
// window is there. On the window's own thread it is PostMessage, since waiting there would wait
// for itself. Callable from any thread.
BOOL PostMessageWhenRoom(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Appends a thread message (hwnd null) to a thread's queue. Callable from any thread.
BOOL PostThreadMessage(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam);
// Calls the window procedure directly on the owning thread; from another thread, queues the
// message to the owner and waits, delivering messages sent to the caller meanwhile. Callable
// from any thread.
LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// SendMessage with a time-out for cross-thread sends (SMTO_ flags); 0 with ERROR_TIMEOUT when
// it passed. Callable from any thread.
LRESULT SendMessageTimeout(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, UINT fuFlags,
                           UINT uTimeout, DWORD_PTR* lpdwResult);
// Like SendMessage on the owning thread; from another thread it queues and returns at once.
// Callable from any thread.
BOOL SendNotifyMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

BOOL GetMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);
BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
LRESULT DispatchMessage(const MSG* lpMsg);
void PostQuitMessage(int nExitCode);
// Returns at once when anything is waiting; otherwise waits until something arrives.
BOOL WaitMessage();
DWORD GetQueueStatus(UINT flags);
DWORD GetMessagePos();
LONG GetMessageTime();
// True while the calling thread delivers a message sent from another thread.
BOOL InSendMessage();
DWORD InSendMessageEx(LPVOID lpReserved);
// Answers the cross-thread send being delivered now; the sender resumes at once.
BOOL ReplyMessage(LRESULT lResult);

// Waits for kernel objects or for queue input matching the QS_ mask; WAIT_OBJECT_0 + nCount
// means input. Input already waiting counts as well as new input (callers loop on PeekMessage
// after the wait either way). With a window-system event pump the wait runs in bounded slices
// that pump events between them.
DWORD MsgWaitForMultipleObjects(DWORD nCount, const HANDLE* pHandles, BOOL fWaitAll,
                                DWORD dwMilliseconds, DWORD dwWakeMask);
DWORD MsgWaitForMultipleObjectsEx(DWORD nCount, const HANDLE* pHandles, DWORD dwMilliseconds,
                                  DWORD dwWakeMask, DWORD dwFlags);

// Timers: with a window, the (hwnd, id) pair names the timer; without, the returned id does.
// WM_TIMER is generated when a timer is due and the queue is otherwise empty, one pending per
// timer. Owning thread of the window.
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);
// Drops every timer of a window (window destruction).
void KillTimersOfWindow(HWND hWnd);
