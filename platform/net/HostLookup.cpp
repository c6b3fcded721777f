#include "platform/net/HostLookup.h"

#include "platform/core/WinError.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <vector>

namespace {

// What one thread's last lookup gave; the record points into it.
struct HostRecord {
    hostent entry{};
    std::string name;
    std::vector<in_addr> addresses;
    std::vector<char*> addressList;
    char* aliases[1] = {nullptr};
};

thread_local HostRecord t_record;

} // namespace

int WSAGetLastError()
{
    return static_cast<int>(GetLastError());
}

namespace vostrel::net {

hostent* gethostbyname(const char* name)
{
    if (name == nullptr || *name == '\0') {
        SetLastError(WSAHOST_NOT_FOUND);
        return nullptr;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* result = nullptr;
    const int rc = getaddrinfo(name, nullptr, &hints, &result);
    if (rc != 0) {
        switch (rc) {
        case EAI_NONAME:
#ifdef EAI_NODATA
        case EAI_NODATA:
#endif
            SetLastError(WSAHOST_NOT_FOUND);
            break;
#ifdef EAI_ADDRFAMILY
        case EAI_ADDRFAMILY:
            SetLastError(WSANO_DATA);
            break;
#endif
        case EAI_AGAIN:
            SetLastError(WSATRY_AGAIN);
            break;
        default:
            SetLastError(WSANO_RECOVERY);
            break;
        }
        return nullptr;
    }
    HostRecord& record = t_record;
    record.name = result->ai_canonname != nullptr ? result->ai_canonname : name;
    record.addresses.clear();
    for (addrinfo* p = result; p != nullptr; p = p->ai_next) {
        const in_addr address = reinterpret_cast<sockaddr_in*>(p->ai_addr)->sin_addr;
        bool bSeen = false;
        for (const in_addr& a : record.addresses)
            bSeen = bSeen || a.s_addr == address.s_addr;
        if (!bSeen)
            record.addresses.push_back(address);
    }
    freeaddrinfo(result);
    record.addressList.clear();
    for (in_addr& a : record.addresses)
        record.addressList.push_back(reinterpret_cast<char*>(&a));
    record.addressList.push_back(nullptr);
    record.entry.h_name = record.name.data();
    record.entry.h_aliases = record.aliases;
    record.entry.h_addrtype = AF_INET;
    record.entry.h_length = sizeof(in_addr);
    record.entry.h_addr_list = record.addressList.data();
    return &record.entry;
}

} // namespace vostrel::net
