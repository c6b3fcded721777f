// ISysInfoSource: the facts the system information report tells about the machine, the system and
// the libraries the program runs on. The report reads them only through this interface, so that
// it can be built from fixed facts as well as from the running system.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <vector>

// What was found of one library: its version, a library without a version, or none at all.
struct SysInfoLibrary {
    enum class State { Found, NoVersion, NotFound };
    CString strName;
    CString strVersion;
    State state = State::NotFound;
};

class ISysInfoSource {
public:
    virtual ~ISysInfoSource() = default;

    // The machine's whole host name.
    virtual CString GetHostName() = 0;
    // One line naming the system: kernel, release, machine and distribution.
    virtual CString GetSystemText() = 0;
    // The processors online, and their model (empty when unknown).
    virtual UINT GetProcessorCount() = 0;
    virtual CString GetProcessorName() = 0;
    // Total and available bytes; FALSE when the system does not tell them.
    virtual BOOL GetPhysicalMemory(ULONGLONG& nTotal, ULONGLONG& nAvailable) = 0;
    virtual BOOL GetPagingFile(ULONGLONG& nTotal, ULONGLONG& nFree) = 0;
    // The code page the program's texts are in; 0 when it has none.
    virtual UINT GetCodePage() = 0;
    // The user's language; FALSE when it is not known.
    virtual BOOL GetLanguage(CString& strLanguage) = 0;
    // The libraries the program runs on, in the order the report lists them.
    virtual std::vector<SysInfoLibrary> GetProgramLibraries() = 0;
    // One library named by the caller, by its file name.
    virtual SysInfoLibrary FindLibrary(const CString& strName) = 0;
};
