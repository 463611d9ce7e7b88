// Lookups in a Desc.ini of 50 keys across the loader's four sections, as the resource
// loader makes them: GetString and GetInt, in key order and jumping between sections.
#include "resource/IniFile.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

struct SKeyRef {
    std::wstring section;
    std::wstring key;
};

// 4 + 16 + 14 + 16 = 50 keys; returns the text and every (section, key) pair.
std::string MakeDesc(std::vector<SKeyRef>& keys)
{
    std::string text =
        "; bench package\r\n[Picture]\r\nPictureCount=16\r\nColorKey_R=255\r\nColorKey_G=0\r\nColorKey_B=255\r\n";
    keys = {{L"Picture", L"PictureCount"},
            {L"Picture", L"ColorKey_R"},
            {L"Picture", L"ColorKey_G"},
            {L"Picture", L"ColorKey_B"}};
    auto number = [](int i) {
        std::string s = std::to_string(i);
        return std::string(3 - s.size(), '0') + s;
    };
    for (int i = 0; i < 16; ++i) {
        text += "PicBox" + number(i) + "=0,0,64,64 ;frame\r\n";
        keys.push_back({L"Picture", L"PicBox" + std::wstring(number(i).begin(), number(i).end())});
    }
    text += "\r\n[Animation]\r\nFrameDelay=3\r\nSeqCount=12\r\n";
    keys.push_back({L"Animation", L"FrameDelay"});
    keys.push_back({L"Animation", L"SeqCount"});
    for (int i = 1; i <= 12; ++i) {
        text += "Seq" + number(i) + "=0,15,1\r\n";
        keys.push_back({L"Animation", L"Seq" + std::wstring(number(i).begin(), number(i).end())});
    }
    text += "\r\n[CenterPoint]\r\n";
    for (int i = 0; i < 16; ++i) {
        text += number(i) + "=32,48\r\n";
        keys.push_back({L"CenterPoint", std::wstring(number(i).begin(), number(i).end())});
    }
    return text;
}

// The description loaded once per benchmark; the text must outlive the model.
struct SLoadedDesc {
    std::vector<SKeyRef> keys;
    std::string text = MakeDesc(keys);
    CIniFile ini;
    SLoadedDesc() { ini.LoadFromMemory(text.data(), static_cast<DWORD>(text.size())); }
};

void BM_GetStringInOrder(benchmark::State& state)
{
    SLoadedDesc desc;
    CIniFile& ini = desc.ini;
    const std::vector<SKeyRef>& keys = desc.keys;
    for (auto _ : state) {
        for (const SKeyRef& ref : keys)
            benchmark::DoNotOptimize(ini.GetString(ref.section.c_str(), ref.key.c_str(), L"", FALSE));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(keys.size()));
}
BENCHMARK(BM_GetStringInOrder);

void BM_GetIntAcrossSections(benchmark::State& state)
{
    SLoadedDesc desc;
    CIniFile& ini = desc.ini;
    const std::vector<SKeyRef>& keys = desc.keys;
    // Alternate between the first and the last section so the cursor has to move.
    std::vector<SKeyRef> order;
    for (std::size_t i = 0; i < keys.size() / 2; ++i) {
        order.push_back(keys[i]);
        order.push_back(keys[keys.size() - 1 - i]);
    }
    for (auto _ : state) {
        for (const SKeyRef& ref : order)
            benchmark::DoNotOptimize(ini.GetInt(ref.section.c_str(), ref.key.c_str(), 0, FALSE));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(order.size()));
}
BENCHMARK(BM_GetIntAcrossSections);

void BM_MissingKeyWithoutWriteBack(benchmark::State& state)
{
    SLoadedDesc desc;
    for (auto _ : state)
        benchmark::DoNotOptimize(desc.ini.GetInt(L"Picture", L"NoSuchKey", 7, FALSE));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MissingKeyWithoutWriteBack);

void BM_LoadFromMemory(benchmark::State& state)
{
    std::vector<SKeyRef> keys;
    const std::string text = MakeDesc(keys);
    for (auto _ : state) {
        CIniFile ini;
        ini.LoadFromMemory(text.data(), static_cast<DWORD>(text.size()));
        benchmark::DoNotOptimize(ini.GetLines().size());
    }
}
BENCHMARK(BM_LoadFromMemory);

} // namespace

BENCHMARK_MAIN();
