// Host name lookup in the Winsock manner: vostrel::net::gethostbyname gives a host record kept
// per thread (so worker threads may look up names at the same time) and reports a failure
// through WSAGetLastError (WSAHOST_NOT_FOUND for a name that does not exist).
#pragma once

#include "platform/core/Types.h"

#include <netdb.h>

#ifndef WSAHOST_NOT_FOUND
#define WSAHOST_NOT_FOUND 11001
#define WSATRY_AGAIN 11002
#define WSANO_RECOVERY 11003
#define WSANO_DATA 11004
#endif

// The calling thread's last error of the lookup functions (the same store as GetLastError).
int WSAGetLastError();

namespace vostrel::net {

// The host's name and its IPv4 addresses (an IPv4 literal gives itself); null with
// WSAHOST_NOT_FOUND, WSANO_DATA (no IPv4 address), WSATRY_AGAIN or WSANO_RECOVERY. The record
// stays valid until the thread's next lookup. Callable from any thread.
hostent* gethostbyname(const char* name);

} // namespace vostrel::net
