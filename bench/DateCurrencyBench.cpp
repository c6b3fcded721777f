// Display texts of 100,000 date and 100,000 currency values through the controls' models,
// against the floor of a plain loop with gmtime_r/strftime and snprintf with grouping.
#include "toolkit/datetime/CGXBCurrencyFormat.h"
#include "toolkit/datetime/OleDateFields.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kCells = 100000;

std::vector<double> Values()
{
    std::mt19937_64 random(7);
    std::vector<double> values(kCells);
    for (double& v : values)
        v = static_cast<double>(random() % 1000000000) / 100.0;
    return values;
}

std::vector<double> Dates()
{
    std::mt19937_64 random(11);
    std::vector<double> dates(kCells);
    for (double& d : dates) // 1970..2100 with a time of day
        d = 25569.0 + static_cast<double>(random() % 47482) + (random() % 86400) / 86400.0;
    return dates;
}

void CurrencyFormatValue(benchmark::State& state)
{
    const auto values = Values();
    const CGXBCurrencyFormat format;
    CString text;
    for (auto _ : state) {
        for (double v : values) {
            format.FormatValue(v, text, FALSE);
            benchmark::DoNotOptimize(text.GetString());
        }
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(CurrencyFormatValue)->Unit(benchmark::kMillisecond);

void CurrencyFloorSnprintfGrouping(benchmark::State& state)
{
    const auto values = Values();
    std::string text;
    for (auto _ : state) {
        for (double v : values) {
            char digits[64];
            const int n = std::snprintf(digits, sizeof digits, "%.2f", v);
            const int integer = n - 3;
            text.assign("$");
            for (int i = 0; i < n; ++i) {
                text += digits[i];
                const int rest = integer - 1 - i;
                if (i < integer && rest > 0 && rest % 3 == 0)
                    text += ',';
            }
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(CurrencyFloorSnprintfGrouping)->Unit(benchmark::kMillisecond);

void DateFieldsText(benchmark::State& state)
{
    const auto dates = Dates();
    for (auto _ : state) {
        for (double d : dates) {
            DateFields f;
            char text[32];
            OleDateToFields(d, f);
            std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", f.nYear, f.nMonth,
                          f.nDay, f.nHour, f.nMinute, f.nSecond);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(DateFieldsText)->Unit(benchmark::kMillisecond);

void DateFloorStrftime(benchmark::State& state)
{
    const auto dates = Dates();
    for (auto _ : state) {
        for (double d : dates) {
            const time_t t = static_cast<time_t>((d - 25569.0) * 86400.0 + 0.5);
            std::tm tm{};
            gmtime_r(&t, &tm);
            char text[32];
            std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &tm);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(DateFloorStrftime)->Unit(benchmark::kMillisecond);

} // namespace
