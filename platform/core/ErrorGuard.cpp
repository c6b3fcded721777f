#include "platform/core/ErrorGuard.h"

#include "platform/core/CException.h"

#include <exception>
#include <new>

namespace {

constexpr UINT kMessageSize = 1024;
constexpr const char* kUnknownError = "An unknown error was thrown";

} // namespace

std::string ErrorGuard::DescribeCurrentException() noexcept
{
    try {
        try {
            throw;
        } catch (CException* e) {
            char szMessage[kMessageSize] = {};
            const BOOL bText = e->GetErrorMessage(szMessage, kMessageSize);
            std::string strMessage = bText && szMessage[0] != '\0' ? szMessage : e->GetRuntimeClass()->m_lpszClassName;
            e->Delete();
            return strMessage;
        } catch (const std::bad_alloc&) {
            return "Not enough memory";
        } catch (const std::exception& e) {
            return e.what();
        } catch (...) {
            return kUnknownError;
        }
    } catch (...) {
        // Describing failed too (no memory for the text): a fixed text needs none.
        return std::string();
    }
}

void ErrorGuard::KeepCurrentException() noexcept
{
    std::string strMessage = DescribeCurrentException();
    Fail(strMessage.empty() ? std::string(kUnknownError) : strMessage);
}

void ErrorGuard::Fail(const std::string& strMessage) noexcept
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bFailed.load())
            return;
        try {
            m_strFirst = strMessage;
        } catch (...) {
        }
        m_bFailed.store(true);
    }
    if (!m_onFirstError)
        return;
    try {
        m_onFirstError(strMessage);
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
}

std::string ErrorGuard::GetFirstError() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_strFirst;
}

void ErrorGuard::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_strFirst.clear();
    m_bFailed.store(false);
}
