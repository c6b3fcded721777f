// Feeds arbitrary bytes to the readers of the grid's span pools: each either loads a pool or
// raises an archive or memory exception; never a crash, a leak or a write outside a table. A
// pool it loads stores again and reads back to the same bytes, and survives its operations.
#include "grid/data/CGXDelayedRangePool.h"
#include "grid/data/CGXSpanCellPool.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CException.h"
#include "platform/core/CMemFile.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

std::vector<BYTE> Store(const CObject& object)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.WriteObject(&object);
        ar.Close();
    }
    std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

template <class Pool>
std::unique_ptr<Pool> Read(const uint8_t* data, size_t size)
{
    CMemFile file;
    file.Write(data, static_cast<UINT>(size));
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    try {
        return std::unique_ptr<Pool>(Pool::ReadFromArchive(ar));
    } catch (CArchiveException* e) {
        e->Delete();
    } catch (CMemoryException* e) {
        e->Delete();
    }
    return nullptr;
}

template <class Pool>
void RoundTrip(const Pool& pool)
{
    const std::vector<BYTE> bytes = Store(pool);
    std::unique_ptr<Pool> again = Read<Pool>(bytes.data(), bytes.size());
    if (again == nullptr || Store(*again) != bytes)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 1u << 14)
        return 0;
    // The first byte chooses the pool; the rest is its stored form.
    if (data[0] & 1) {
        std::unique_ptr<CGXSpanCellPool> pool = Read<CGXSpanCellPool>(data + 1, size - 1);
        if (pool == nullptr)
            return 0;
        RoundTrip(*pool);
        CGXRange range(1, 1, 1, 1);
        for (DWORD row = 0; row < 8; ++row)
            for (DWORD col = 0; col < 8; ++col)
                pool->FindSpan(row, col, range);
        pool->InsertRows(1, 2);
        pool->MoveCols(0, 2, 5);
        pool->RemoveRows(0, 3);
        pool->SetSpan(1, 1, 2, 3, TRUE);
        pool->SetSpan(1, 1, 2, 3, FALSE);
    } else {
        std::unique_ptr<CGXDelayedRangePool> pool = Read<CGXDelayedRangePool>(data + 1, size - 1);
        if (pool == nullptr)
            return 0;
        RoundTrip(*pool);
        pool->AddRange(CGXRange(1, 1, 5, 5));
        CDWordArray first, last;
        pool->GetRowsToEvaluate(CGXRange(0, 0, 63, 63), first, last);
        pool->ClipRows(10);
        pool->GetRowsToEvaluate(CGXRange(0, 0, 63, 63), first, last);
    }
    return 0;
}
