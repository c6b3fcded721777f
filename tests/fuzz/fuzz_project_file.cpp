// Feeds arbitrary bytes to the project file reader: one CProjectSettings object read through
// the archive's object reading, or an archive error, never anything else.
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CException.h"
#include "platform/core/CMemFile.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 20)
        return 0;
    std::vector<uint8_t> buffer(data, data + size);
    CMemFile file(buffer.data(), static_cast<UINT>(buffer.size()));
    std::unique_ptr<CProjectSettings> pSettings;
    try {
        CArchive ar(&file, CArchive::load);
        CObject* pObject = ar.ReadObject(RUNTIME_CLASS(CProjectSettings));
        pSettings.reset(static_cast<CProjectSettings*>(pObject));
    } catch (CArchiveException* e) {
        e->Delete();
        return 0;
    } catch (CMemoryException* e) {
        e->Delete();
        return 0;
    }
    if (!pSettings)
        return 0;
    if (!pSettings->IsKindOf(RUNTIME_CLASS(CProjectSettings)))
        std::abort();

    // What was read writes back and reads again to equal settings.
    CMemFile out;
    {
        CArchive ar(&out, CArchive::store);
        ar.WriteObject(pSettings.get());
        ar.Close();
    }
    out.SeekToBegin();
    CArchive ar(&out, CArchive::load);
    std::unique_ptr<CProjectSettings> pAgain(static_cast<CProjectSettings*>(ar.ReadObject(RUNTIME_CLASS(CProjectSettings))));
    if (!pAgain || !pAgain->IsEqual(*pSettings))
        std::abort();
    return 0;
}
