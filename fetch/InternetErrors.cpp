#include "fetch/InternetErrors.h"

#include "platform/core/CException.h"

// FIXME: the internet layer's exception class is not there yet; until it is, no exception
// carries an internet error number.
bool GetInternetErrorNumber(const CException* pException, DWORD& dwError)
{
    (void)pException;
    dwError = 0;
    return false;
}
