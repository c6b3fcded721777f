#include "app/frame/CPostedFailures.h"

#include "platform/win/UserApi.h"

void CPostedFailures::Bind(HWND hWnd, UINT nMessage)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_hWnd = hWnd;
    m_nMessage = nMessage;
}

void CPostedFailures::Post(const CString& strText)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_texts.push_back(strText);
    if (m_hWnd != nullptr)
        ::PostMessage(m_hWnd, m_nMessage, 0, 0);
}

std::deque<CString> CPostedFailures::TakeAll()
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::deque<CString> texts;
    texts.swap(m_texts);
    return texts;
}
