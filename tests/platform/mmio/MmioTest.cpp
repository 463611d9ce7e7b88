// The mmio functions on memory and disk files: chunk walks (find, parent and file bounds, the
// chunk limit; pads and wrapping sizes are the WAV reader's catalogue), seeks and reads at
// the end, the buffer handed out by mmioGetInfo and refilled by mmioAdvance; and the
// executable's resources.
#include "common/RiffBytes.h"
#include "common/ScratchDir.h"

#include <vireo/platform/MMSystem.h>
#include <vireo/platform/ModuleResources.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <tuple>

namespace {

using namespace vireo::test;

constexpr FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
constexpr FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');

HMMIO OpenMemory(std::string& bytes)
{
    MMIOINFO info{};
    info.fccIOProc = FOURCC_MEM;
    info.pchBuffer = bytes.data();
    info.cchBuffer = static_cast<LONG>(bytes.size());
    return mmioOpenW(nullptr, &info, MMIO_ALLOCBUF | MMIO_READ);
}

// Descends into the RIFF form, then searches it for "data"; the result of that search and
// the size and offset of the data found.
std::tuple<MMRESULT, DWORD, DWORD> FindData(std::string bytes)
{
    HMMIO file = OpenMemory(bytes);
    if (!file)
        return {MMSYSERR_INVALHANDLE, 0, 0};
    MMCKINFO riff{}, data{};
    riff.fccType = kWave;
    data.ckid = kData;
    MMRESULT result = mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF);
    if (result == MMSYSERR_NOERROR)
        result = mmioDescend(file, &data, &riff, MMIO_FINDCHUNK);
    mmioClose(file, 0);
    return {result, data.cksize, data.dwDataOffset};
}

TEST(MmioDescend, FindsChunksWithinTheirParentAndTheFile)
{
    const std::string data = Chunk("data", "abcd");
    std::string fillers;
    for (int i = 0; i < 9999; ++i)
        fillers += Chunk("junk", "");
    // what, file, result, offset of the four data bytes found (0: none)
    const std::tuple<const char*, std::string, MMRESULT, DWORD> rows[] = {
        {"data right after fmt", Riff("WAVE", Chunk("fmt ", PcmFormat(1, 8000, 8)) + data), MMSYSERR_NOERROR,
         12 + 24 + 8},
        {"data after an odd-sized LIST and its pad", Riff("WAVE", Chunk("LIST", "INFOx") + data), MMSYSERR_NOERROR,
         12 + 14 + 8},
        {"data beyond the RIFF size", ChunkWithSize("RIFF", 4, "WAVE") + data, MMIOERR_CHUNKNOTFOUND, 0},
        {"9,999 empty chunks first", Riff("WAVE", fillers + data), MMSYSERR_NOERROR, 12 + 9999 * 8 + 8},
        {"10,000 empty chunks first", Riff("WAVE", fillers + Chunk("junk", "") + data), MMIOERR_CHUNKNOTFOUND, 0},
        {"header cut short", Riff("WAVE", "dat"), MMIOERR_CHUNKNOTFOUND, 0},
    };
    for (const auto& [what, file, expected, offset] : rows)
        EXPECT_EQ(FindData(file), std::tuple(expected, offset ? 4u : 0u, offset)) << what;
}

// The same reads on a memory file and on a disk file with a 16-byte buffer, so the disk file
// refills its buffer many times.
class MmioReadTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override
    {
        for (int i = 0; i < 100; ++i)
            m_bytes += static_cast<char>(i);
        if (!GetParam()) {
            m_file = OpenMemory(m_bytes);
            return;
        }
        std::ofstream(m_dir.Path() / "f.bin", std::ios::binary) << m_bytes;
        MMIOINFO info{};
        info.cchBuffer = 16;
        std::wstring name = (m_dir.Path() / "f.bin").wstring();
        m_file = mmioOpenW(name.data(), &info, MMIO_ALLOCBUF | MMIO_READ);
    }
    void TearDown() override { mmioClose(m_file, 0); }

    ScratchDir m_dir;
    std::string m_bytes;
    HMMIO m_file = nullptr;
};

TEST_P(MmioReadTest, SeeksAndReadsStopAtTheEnd)
{
    ASSERT_NE(m_file, nullptr);
    char out[64];
    EXPECT_EQ(mmioRead(m_file, out, 40), 40);
    EXPECT_EQ(std::memcmp(out, m_bytes.data(), 40), 0);
    EXPECT_EQ(mmioSeek(m_file, 90, SEEK_SET), 90);
    EXPECT_EQ(mmioRead(m_file, out, 64), 10); // the short count, then nothing
    EXPECT_EQ(out[0], 90);
    EXPECT_EQ(mmioRead(m_file, out, 64), 0);
    EXPECT_EQ(mmioSeek(m_file, -5, SEEK_END), 95);
    EXPECT_EQ(mmioSeek(m_file, 101, SEEK_SET), -1);
    EXPECT_EQ(mmioSeek(m_file, 0, SEEK_CUR), 95); // a refused seek moves nothing
}

TEST_P(MmioReadTest, GetInfoAndAdvanceWalkTheWholeFile)
{
    ASSERT_NE(m_file, nullptr);
    ASSERT_EQ(mmioSeek(m_file, 3, SEEK_SET), 3);
    MMIOINFO info{};
    ASSERT_EQ(mmioGetInfo(m_file, &info, 0), MMSYSERR_NOERROR);
    std::string seen;
    for (int guard = 0; guard < 200; ++guard) {
        if (info.pchNext == info.pchEndRead) {
            ASSERT_EQ(mmioAdvance(m_file, &info, MMIO_READ), MMSYSERR_NOERROR);
            if (info.pchNext == info.pchEndRead)
                break; // the end of the file
        }
        seen += *info.pchNext++;
    }
    EXPECT_EQ(seen, m_bytes.substr(3));
    ASSERT_EQ(mmioSetInfo(m_file, &info, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioSeek(m_file, 0, SEEK_CUR), 100);
}

INSTANTIATE_TEST_SUITE_P(MemoryAndDisk, MmioReadTest, ::testing::Values(false, true));

TEST(MmioOpen, RefusesWhatItCannotRead)
{
    ScratchDir dir;
    std::filesystem::create_directory(dir.Path() / "folder.wav");
    for (auto [name, error] : {std::tuple{L"missing.wav", MMIOERR_FILENOTFOUND}, {L"folder.wav", MMIOERR_CANNOTOPEN}}) {
        MMIOINFO info{};
        std::wstring path = name;
        EXPECT_EQ(mmioOpenW(path.data(), &info, MMIO_READ), nullptr);
        EXPECT_EQ(info.wErrorRet, error) << path;
    }
}

TEST(ModuleResources, FindByNameAndTypeWithoutRegardToCase)
{
    const std::string file = ReadFileBytes(VIREO_TEST_DATA_DIR "/sound/chime.wav");
    ASSERT_FALSE(file.empty());

    const std::tuple<LPCWSTR, LPCWSTR, bool> rows[] = {
        {L"chime.wav", L"WAVE", true},           {L"CHIME.WAV", L"wave", true}, {L"bell.wav", L"WAV", true},
        {L"bell.wav", L"WAVE", false},           {L"#101", L"WAVE", true},      {MAKEINTRESOURCEW(101), L"WAVE", true},
        {MAKEINTRESOURCEW(102), L"WAVE", false},
    };
    for (const auto& [name, type, known] : rows) {
        HRSRC found = FindResourceW(nullptr, name, type);
        ASSERT_EQ(found != nullptr, known) << (IS_INTRESOURCE(name) ? "id" : "name") << " / " << known;
        if (!found)
            continue;
        const void* bytes = LockResource(LoadResource(GetModuleHandleW(nullptr), found));
        ASSERT_EQ(SizeofResource(nullptr, found), file.size());
        EXPECT_EQ(std::memcmp(bytes, file.data(), file.size()), 0);
    }

    EXPECT_EQ(FindResourceW(nullptr, L"nothing", L"WAVE"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(FindResourceW(nullptr, L"chime.wav", L"MIDI"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
}

} // namespace
