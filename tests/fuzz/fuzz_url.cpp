// Feeds arbitrary text to the URL value: parsed alone and against a fixed base, written as
// canonical text, stored and read back to the same bytes; the raw bytes are also read as a
// stored URL, which gives a URL or an archive error, never anything else.
#include "engine/project/CConnectOptions.h"
#include "engine/project/CUrlString.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CException.h"
#include "platform/core/CMemFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Store(CUrlString& url)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        url.Serialize(ar);
        ar.Close();
    }
    std::string data(static_cast<size_t>(file.GetLength()), '\0');
    file.SeekToBegin();
    file.Read(data.data(), static_cast<UINT>(data.size()));
    return data;
}

void Check(CUrlString& url)
{
    const CString strUrl = url.GetUrl(TRUE);
    const CString strRoot = url.GetRoot(TRUE);
    (void)url.HasInvalidChars();
    (void)CUrlString::IsValidPortForScheme(url.GetSchemeType(), url.GetPort());

    // Stored and read back: the same bytes and the same canonical text.
    std::string data = Store(url);
    CMemFile file(reinterpret_cast<BYTE*>(data.data()), static_cast<UINT>(data.size()));
    CUrlString again;
    {
        CArchive ar(&file, CArchive::load);
        again.Serialize(ar);
    }
    if (Store(again) != data || again.GetUrl(TRUE) != strUrl || again.GetRoot(TRUE) != strRoot)
        std::abort();

    // Dot-segment removal leaves nothing more to remove.
    if (!url.GetPath().IsEmpty()) {
        const CString strOnce = CUrlString::RemoveDotSegments(url.GetPath());
        if (CUrlString::RemoveDotSegments(strOnce) != strOnce)
            std::abort();
    }

    // The canonical text parses again without trouble.
    const CUrlString reparsed(strUrl);
    (void)reparsed.GetUrl(TRUE);

    if (url.GetSchemeType() == 5) {
        const CConnectOptions options;
        (void)options.MapFileUrlToPath(url.GetHost(), url.GetPath());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 16)
        return 0;

    // The raw bytes as a stored URL.
    {
        std::vector<uint8_t> buffer(data, data + size);
        CMemFile file(buffer.data(), static_cast<UINT>(buffer.size()));
        CUrlString loaded;
        bool bLoaded = false;
        try {
            CArchive ar(&file, CArchive::load);
            loaded.Serialize(ar);
            bLoaded = true;
        } catch (CArchiveException* e) {
            e->Delete();
        } catch (CMemoryException* e) {
            e->Delete();
        }
        if (bLoaded) {
            if (loaded.GetSchemeIndex() >= CUrlString::kSchemeCount)
                std::abort();
            Check(loaded);
        }
    }

    // The bytes as text, up to the first NUL.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string line = text.substr(0, text.find('\0'));
    CUrlString alone(line.c_str());
    Check(alone);

    static const CUrlString s_base("http://user:pw@www.example.com:8080/dir/sub/page.htm;p?q=1#top");
    CUrlString resolved(line.c_str(), &s_base);
    Check(resolved);

    static const CUrlString s_fileBase("file:///home/me/site/index.htm");
    CUrlString fileResolved(line.c_str(), &s_fileBase);
    Check(fileResolved);
    return 0;
}
