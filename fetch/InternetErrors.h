// How the fetch engine reads the internet error number an exception of the internet layer
// carries; the error numbers themselves come with the layer.
#pragma once

#include "platform/core/Types.h"
#include "platform/net/WinInet.h"

class CException;

// True with the error number when the exception comes from the internet layer.
bool GetInternetErrorNumber(const CException* pException, DWORD& dwError);
