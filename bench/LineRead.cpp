// Text files read line by line: a record file through ReadLineAnsi and through the one block
// reader a replay keeps, and a Desc.ini through CIniFile::Load, each next to a reader of one
// ReadFile per byte (how both worked before they read in blocks). Figures: file calls (ReadFile + SetFilePointer,
// counted by the platform's file plan) per line and per load, and the time; no pass or fail.
#include "bench/BenchEngine.h"
#include "resource/IniFile.h"
#include "support/LineReader.h"

#include <vireo/platform/Testing.h>
#include <vireo/support.h>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kRecordLines = 2000;

// A replay file as recording writes it, and a Desc.ini of 200 pictures (about 8 KB).
void WriteFiles()
{
    static const bool written = [] {
        vireo::bench::UseHeadlessBenchFolder("vireo-bench-lines");
        std::ofstream record("Record.dat", std::ios::binary | std::ios::trunc);
        for (int i = 0; i < kRecordLines; ++i)
            record << "[" << std::string(8 - std::to_string(i).size(), '0') << i << "] 030=" << (i % 3) << "\r\n";
        std::ofstream desc("Desc.ini", std::ios::binary | std::ios::trunc);
        desc << "[Picture]\r\nPictureCount=200\r\n";
        for (int i = 0; i < 200; ++i)
            desc << "PicBox" << i << "=0,0,64,64 ;frame\r\n";
        desc << "[Animation]\r\nFrameDelay=1\r\nSeqCount=1\r\nSeq001=0,199,1\r\n";
        return true;
    }();
    (void)written;
}

// One ReadFile per byte, the line rules of ReadLineAnsi (the reference).
BOOL ReadLineByteAtATime(HANDLE file, std::wstring& line)
{
    std::wstring text;
    bool endOfFile = false;
    for (;;) {
        char c = 0;
        DWORD read = 0;
        if (!ReadFile(file, &c, 1, &read, nullptr) || read != 1) {
            endOfFile = true;
            break;
        }
        if (c == '\r')
            break;
        if (c != '\n' && text.size() < 1023)
            text.push_back(static_cast<unsigned char>(c));
    }
    line = std::move(text);
    return endOfFile && line.empty() ? FALSE : TRUE;
}

long long FileCalls()
{
    return vireo::testing::FaultyFileReadCalls() + vireo::testing::FaultyFileSeekCalls();
}

void ReadLines(benchmark::State& state, const wchar_t* path, BOOL (*readLine)(HANDLE, std::wstring&))
{
    WriteFiles();
    vireo::testing::SetFileFaults({path, false, -1, 0}); // counts only
    long long lines = 0;
    for (auto _ : state) {
        HANDLE file =
            CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        std::wstring line;
        while (readLine(file, line))
            ++lines;
        CloseHandle(file);
    }
    state.counters["calls_per_line"] = static_cast<double>(FileCalls()) / static_cast<double>(lines ? lines : 1);
    state.SetItemsProcessed(lines);
    vireo::testing::ClearFileFaults();
}

// Record lines are 18 bytes with their CR LF, the Desc.ini lines 13 to 27.
void BM_ReadLineAnsi_OneReadPerByte_Record(benchmark::State& state)
{
    ReadLines(state, L"Record.dat", ReadLineByteAtATime);
}
void BM_ReadLineAnsi_Record(benchmark::State& state)
{
    ReadLines(state, L"Record.dat", ReadLineAnsi);
}
void BM_ReadLineAnsi_OneReadPerByte_Desc(benchmark::State& state)
{
    ReadLines(state, L"Desc.ini", ReadLineByteAtATime);
}
void BM_ReadLineAnsi_Desc(benchmark::State& state)
{
    ReadLines(state, L"Desc.ini", ReadLineAnsi);
}
// A replay keeps one reader of 4 KB blocks for the whole record file.
BOOL ReadLineWithOneReader(HANDLE file, std::wstring& line)
{
    static HANDLE current = nullptr;
    static std::unique_ptr<vireo::CLineReader> reader;
    if (file != current || !reader) {
        current = file;
        reader = std::make_unique<vireo::CLineReader>(file, false, 4096);
    }
    const BOOL more = reader->Next(line);
    if (!more)
        reader.reset();
    return more;
}
void BM_ReplayLineReader_Record(benchmark::State& state)
{
    ReadLines(state, L"Record.dat", ReadLineWithOneReader);
}
BENCHMARK(BM_ReadLineAnsi_OneReadPerByte_Record);
BENCHMARK(BM_ReadLineAnsi_Record);
BENCHMARK(BM_ReplayLineReader_Record);
BENCHMARK(BM_ReadLineAnsi_OneReadPerByte_Desc);
BENCHMARK(BM_ReadLineAnsi_Desc);

void BM_IniLoad_OneReadPerByte(benchmark::State& state)
{
    WriteFiles();
    vireo::testing::SetFileFaults({L"Desc.ini", false, -1, 0});
    for (auto _ : state) {
        // The steps of a load: the encoding test, then every line parsed.
        HANDLE file = CreateFileW(L"Desc.ini", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        BYTE mark[2];
        DWORD read = 0;
        ReadFile(file, mark, 2, &read, nullptr);
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        std::wstring line;
        std::size_t count = 0;
        while (ReadLineByteAtATime(file, line))
            count += ParseIniLine(line).strKey.size();
        CloseHandle(file);
        benchmark::DoNotOptimize(count);
    }
    state.counters["calls_per_load"] = static_cast<double>(FileCalls()) / static_cast<double>(state.iterations());
    vireo::testing::ClearFileFaults();
}
void BM_IniLoad(benchmark::State& state)
{
    WriteFiles();
    vireo::testing::SetFileFaults({L"Desc.ini", false, -1, 0});
    for (auto _ : state) {
        CIniFile ini;
        ini.Load(L"Desc.ini", nullptr);
        benchmark::DoNotOptimize(ini.GetLines().size());
    }
    state.counters["calls_per_load"] = static_cast<double>(FileCalls()) / static_cast<double>(state.iterations());
    vireo::testing::ClearFileFaults();
}
BENCHMARK(BM_IniLoad_OneReadPerByte);
BENCHMARK(BM_IniLoad);

} // namespace

BENCHMARK_MAIN();
