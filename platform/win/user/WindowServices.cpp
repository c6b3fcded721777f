// Wiring the input, non-client, caret and cursor parts into the window manager.
#include "platform/win/detail/MenuTracker.h"
#include "platform/win/detail/WindowServices.h"

#include "platform/win/detail/CursorShape.h"
#include "platform/win/detail/Input.h"
#include "platform/win/detail/KeyStates.h"
#include "platform/win/detail/NonClient.h"

#include <mutex>

namespace {

// Wraps the window manager's side of the queues: after it turned the display's events into
// input events, the input path translates what the queue is ready for; every retrieved
// message updates the thread's key state.
class InputQueueClient : public IQueueClient {
public:
    explicit InputQueueClient(IQueueClient* inner) : m_inner(inner) {}
    bool FindPaintMessage(HWND hwndFilter, MSG& msg) override { return m_inner->FindPaintMessage(hwndFilter, msg); }
    void BeforeRetrieve() override
    {
        m_inner->BeforeRetrieve();
        InputTranslator::Drain();
    }
    void OnMessageRetrieved(MSG& msg, UINT removeFlags) override
    {
        if (removeFlags & PM_REMOVE)
            KeyStates::OnMessageRetrieved(msg);
        m_inner->OnMessageRetrieved(msg, removeFlags);
    }
    POINT CursorPos() override { return m_inner->CursorPos(); }

private:
    IQueueClient* m_inner;
};

} // namespace

void EnsureWindowServices()
{
    static std::once_flag once;
    std::call_once(once, [] {
        WindowManager& wm = WindowManager::Get();
        static InputQueueClient client(&wm);
        SetQueueClient(&client);
        wm.SetInputTranslator(std::make_unique<InputTranslator>());
        wm.SetPaintHooks(std::make_unique<NonClientPainter>());
        AddDefaultHandler(std::make_unique<NonClientHandler>());
        MenuBars::InstallDefaultHandler();
    });
}

void InstallWindowServices()
{
    EnsureWindowServices();
    InputTranslator::Reset();
}
