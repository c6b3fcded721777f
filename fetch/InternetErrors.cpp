#include "fetch/InternetErrors.h"

#include "platform/net/CInternetException.h"

bool GetInternetErrorNumber(const CException* pException, DWORD& dwError)
{
    const auto* pInternet = dynamic_cast<const CInternetException*>(pException);
    dwError = pInternet != nullptr ? pInternet->m_dwError : 0;
    return pInternet != nullptr;
}
