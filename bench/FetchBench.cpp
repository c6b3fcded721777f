// The fetch engine over HTTP: every URL of a list (one a line, in the file that
// $VOSTREL_FETCH_BENCH_URLS names) fetched and parsed by a task manager with 1, 2, 4 and 8 check
// threads, beside the floor of the same fetches through the internet layer alone.
// bench/fetch-vs-curl starts the loopback server, writes the list and sets the variable, and
// runs curl --parallel over the same URLs for comparison.
#include "engine/html/ITaskManager.h"
#include "engine/project/CConnectOptions.h"
#include "fetch/CTaskManager.h"
#include "platform/net/CInternetConnection.h"
#include "platform/net/CInternetFile.h"
#include "platform/net/CInternetSession.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

// Counts the pages done and the ones that did not end in success.
class CountingSink : public ITaskManager {
public:
    void OnLinkFound(DWORD_PTR, LPCSTR, LPCSTR, int, DWORD, int, int) override {}
    void OnTitle(DWORD_PTR, LPCSTR) override {}
    void OnAnchor(DWORD_PTR, LPCSTR) override {}
    void OnAuthor(DWORD_PTR, LPCSTR) override {}
    void OnDescription(DWORD_PTR, LPCSTR) override {}
    void OnOtherMeta(DWORD_PTR, LPCSTR, LPCSTR, LPCSTR) override {}
    void OnAuthenticationRequired(DWORD_PTR, LPCSTR) override {}
    void OnBaseUrl(DWORD_PTR, LPCSTR) override {}
    void OnExtraLink(DWORD_PTR, LPCSTR, LPCSTR, int, DWORD, int, int) override {}
    void OnLastModified(DWORD_PTR, LONG) override {}
    void OnContentType(DWORD_PTR, LPCSTR) override {}
    void OnContentLength(DWORD_PTR, DWORD) override {}
    void OnKeyword(DWORD_PTR, LPCSTR, int) override {}
    void OnNamedMeta(DWORD_PTR, LPCSTR, LPCSTR, LPCSTR) override {}
    void OnHttpEquivMeta(DWORD_PTR, LPCSTR, LPCSTR) override {}
    void ReportResult(DWORD_PTR, DWORD dwClass, DWORD dwCode, UINT, LPCSTR lpszInsert1, DWORD_PTR) override
    {
        if (dwClass > 3) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_nBad++ == 0) {
                char szCode[16];
                std::snprintf(szCode, sizeof szCode, "%08x ", static_cast<unsigned>(dwCode));
                m_strFirstBad = szCode + std::string(lpszInsert1 != nullptr ? lpszInsert1 : "");
            }
        }
    }
    void OnTaskDone(DWORD_PTR) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_nDone;
        m_done.notify_all();
    }
    bool WaitFor(int n)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_done.wait_for(lock, std::chrono::seconds(120), [&] { return m_nDone >= n; });
    }
    int Bad()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_nBad;
    }
    std::string FirstBad()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_strFirstBad;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    int m_nDone = 0;
    int m_nBad = 0;
    std::string m_strFirstBad;
};

std::vector<std::string> ReadUrls()
{
    std::vector<std::string> urls;
    const char* lpszFile = std::getenv("VOSTREL_FETCH_BENCH_URLS");
    if (lpszFile == nullptr)
        return urls;
    std::ifstream in(lpszFile);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty())
            urls.push_back(line);
    }
    return urls;
}

// The URLs of the first n hosts of the list (the script writes each page for every host in turn).
std::vector<std::string> UrlsOfHosts(const std::vector<std::string>& all, size_t nHosts)
{
    std::vector<std::string> hosts;
    std::vector<std::string> urls;
    for (const std::string& url : all) {
        const std::string host = url.substr(0, url.find('/', url.find("//") + 2));
        auto it = std::find(hosts.begin(), hosts.end(), host);
        if (it == hosts.end()) {
            if (hosts.size() == nHosts)
                continue;
            hosts.push_back(host);
        }
        urls.push_back(url);
    }
    return urls;
}

// Arguments: check threads, hosts.
void BM_FetchUrls(benchmark::State& state)
{
    static const std::vector<std::string> all = ReadUrls();
    const std::vector<std::string> urls = UrlsOfHosts(all, static_cast<size_t>(state.range(1)));
    if (urls.empty()) {
        state.SkipWithError("no URL list: run bench/fetch-vs-curl");
        return;
    }
    CConnectOptions options;
    options.SetAccessType(1);
    options.SetNumThreads(static_cast<int>(state.range(0)));
    options.SetMaxTotalTasks(static_cast<int>(state.range(0)));
    int nBad = 0;
    std::string strFirstBad;
    for (auto _ : state) {
        CountingSink sink;
        CTaskManager manager(&sink, nullptr, 0, &options);
        if (!manager.OpenInternetSession()) {
            state.SkipWithError("no internet session");
            return;
        }
        for (size_t i = 0; i < urls.size(); ++i)
            manager.QueueUrl(i + 1, urls[i].c_str(), 1, TRUE);
        manager.StartThreads();
        if (!sink.WaitFor(static_cast<int>(urls.size()))) {
            state.SkipWithError("the fetch did not end within 120 s");
            return;
        }
        manager.RequestStop();
        manager.StopThreads();
        if (sink.Bad() != 0 && nBad == 0)
            strFirstBad = sink.FirstBad();
        nBad += sink.Bad();
    }
    if (nBad != 0) {
        state.SkipWithError(("some URLs were not fetched: " + strFirstBad).c_str());
        return;
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(urls.size()));
    state.counters["urls"] = static_cast<double>(urls.size());
}

// The floor: the same URLs fetched whole through the internet layer on one thread, one kept
// connection per host, nothing parsed and nothing scheduled.
void BM_LayerFetch(benchmark::State& state)
{
    static const std::vector<std::string> all = ReadUrls();
    const std::vector<std::string> urls = UrlsOfHosts(all, static_cast<size_t>(state.range(0)));
    if (urls.empty()) {
        state.SkipWithError("no URL list: run bench/fetch-vs-curl");
        return;
    }
    CInternetSession session("VostrelBench", 1, INTERNET_OPEN_TYPE_DIRECT);
    std::vector<std::pair<std::string, std::unique_ptr<CHttpConnection>>> connections;
    char buffer[4096];
    for (auto _ : state) {
        for (const std::string& url : urls) {
            const size_t nHost = url.find("//") + 2;
            const size_t nPath = url.find('/', nHost);
            const std::string host = url.substr(nHost, nPath - nHost);
            auto it = std::find_if(connections.begin(), connections.end(), [&](const auto& c) { return c.first == host; });
            if (it == connections.end()) {
                const size_t nColon = host.find(':');
                connections.emplace_back(host, std::unique_ptr<CHttpConnection>(session.GetHttpConnection(
                    host.substr(0, nColon).c_str(), static_cast<INTERNET_PORT>(std::atoi(host.c_str() + nColon + 1)))));
                it = connections.end() - 1;
            }
            std::unique_ptr<CHttpFile> file(it->second->OpenRequest("GET", url.substr(nPath).c_str(), nullptr, 1,
                nullptr, nullptr, INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION));
            file->SendRequest();
            while (file->Read(buffer, sizeof buffer) > 0) {
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(urls.size()));
    state.counters["urls"] = static_cast<double>(urls.size());
}

} // namespace

BENCHMARK(BM_LayerFetch)->ArgName("hosts")->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_FetchUrls)
    ->ArgNames({"threads", "hosts"})
    ->ArgsProduct({{1, 2, 4, 8}, {1, 4}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);
