// Building stored forms byte by byte, and storing and loading objects through a memory file,
// for the archive tests of the grid's model.
#pragma once

#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CMemFile.h"

#include <functional>
#include <string>
#include <vector>

namespace gxbytes {

using Bytes = std::vector<BYTE>;

inline void Word(Bytes& b, WORD v)
{
    b.push_back(static_cast<BYTE>(v & 0xFF));
    b.push_back(static_cast<BYTE>(v >> 8));
}

inline void Dword(Bytes& b, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<BYTE>((v >> (8 * i)) & 0xFF));
}

// A class tag of its first appearance: 0xFFFF, the schema, the name's length and the name.
inline void NewClass(Bytes& b, WORD schema, const std::string& name)
{
    Word(b, 0xFFFF);
    Word(b, schema);
    Word(b, static_cast<WORD>(name.size()));
    b.insert(b.end(), name.begin(), name.end());
}

inline Bytes Store(const std::function<void(CArchive&)>& write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    Bytes bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    if (!bytes.empty())
        file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

// Runs read over the bytes; the archive exception's cause, or -1 when the read succeeded.
inline int Load(const Bytes& bytes, const std::function<void(CArchive&)>& read)
{
    CMemFile file;
    if (!bytes.empty())
        file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    try {
        read(ar);
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

} // namespace gxbytes
