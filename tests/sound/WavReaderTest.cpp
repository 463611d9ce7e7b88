// CWavReader on built bytes, through a file and through memory: the bad-input catalogue
// (clean failures, bounded allocation, sizes cut to what the file holds), non-PCM formats
// keeping their extra bytes, rewinds, and WAVE resources of the test executable.
#include "sound/WavReader.h"
#include "common/RiffBytes.h"
#include "common/ScratchDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace vireo::test;

std::string Bytes(int count, int first = 0)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += static_cast<char>(first + i);
    return out;
}

std::string ReadAll(CWavReader& reader, DWORD piece)
{
    std::string out;
    std::vector<BYTE> buffer(piece);
    for (;;) {
        DWORD got = 0;
        if (FAILED(reader.Read(buffer.data(), piece, &got)) || got == 0)
            return out;
        out.append(reinterpret_cast<const char*>(buffer.data()), got);
    }
}

TEST(WavReader, BadInputCatalogueFromMemoryAndFromFile)
{
    ScratchDir dir;
    const std::string fmt8 = Chunk("fmt ", PcmFormat(1, 8000, 8));
    const std::string fmt16 = Chunk("fmt ", PcmFormat(2, 22050, 16));
    // What the file is, its bytes, what opening it returns, and GetSize after the open.
    const std::tuple<const char*, std::string, HRESULT, DWORD> rows[] = {
        {"clean 8-bit mono", PcmWave(1, 8000, 8, Bytes(10)), S_OK, 10},
        {"not RIFF", "RIFX" + Le32(4) + "WAVE", E_FAIL, 0},
        {"no fmt", Riff("WAVE", Chunk("data", "ab")), E_FAIL, 0},
        {"fmt of 15 bytes", Riff("WAVE", Chunk("fmt ", PcmFormat(1, 8000, 8).substr(0, 15)) + Chunk("data", "ab")),
         E_FAIL, 0},
        {"no data", Riff("WAVE", fmt8), E_FAIL, 0},
        // ADPCM claiming 65,535 extra bytes in a 60-byte file: the short read fails cleanly.
        {"cbSize 65535 in 60 bytes",
         Riff("WAVE", ChunkWithSize("fmt ", 18 + 65535, PcmFormat(1, 8000, 4, 2) + Le16(65535) + Bytes(16))), E_FAIL,
         0},
        {"data size 0xFFFFFFF0 in a short file", Riff("WAVE", fmt8 + ChunkWithSize("data", 0xFFFFFFF0, "abcd")), S_OK,
         4},
        {"odd data for 16-bit stereo", Riff("WAVE", fmt16 + Chunk("data", Bytes(11))), S_OK, 8},
        {"RIFF size 0", ChunkWithSize("RIFF", 0, "WAVE" + fmt8 + Chunk("data", "ab")), E_FAIL, 0},
        {"RIFF size 0xFFFFFFFF", ChunkWithSize("RIFF", 0xFFFFFFFF, "WAVE" + fmt8 + Chunk("data", "ab")), S_OK, 2},
        {"odd bext with pad before data", Riff("WAVE", fmt8 + Chunk("bext", "abc") + Chunk("data", "xy")), S_OK, 2},
        {"odd bext without pad", Riff("WAVE", fmt8 + Chunk("bext", "abc", false) + Chunk("data", "xy")), E_FAIL, 0},
        {"chunk size 0xFFFFFFFF before data",
         Riff("WAVE", fmt8 + ChunkWithSize("junk", 0xFFFFFFFF, "") + Chunk("data", "xy")), E_FAIL, 0},
        {"empty data", PcmWave(1, 8000, 8, ""), S_OK, 0},
    };
    for (const auto& [what, file, result, size] : rows) {
        CWavReader memory;
        EXPECT_EQ(memory.OpenFromMemory(file.data(), static_cast<DWORD>(file.size())), result) << what;
        EXPECT_EQ(memory.GetSize(), size) << what;

        std::ofstream(dir.Path() / "t.wav", std::ios::binary | std::ios::trunc) << file;
        CWavReader disk;
        EXPECT_EQ(disk.Open(L"t.wav", WAVEFILE_READ), result) << what;
        EXPECT_EQ(disk.GetSize(), size) << what;
        EXPECT_EQ(ReadAll(disk, 7).size(), size) << what; // then 0, never past the file; none after a failure
    }
}

TEST(WavReader, NonPcmFormatKeepsItsExtraBytes)
{
    const std::string extra = "\x01\x02\x03\x04";
    const std::string file =
        Riff("WAVE", Chunk("fmt ", PcmFormat(1, 8000, 4, 0x11) + Le16(4) + extra) + Chunk("data", "abcd"));
    CWavReader reader;
    ASSERT_EQ(reader.OpenFromMemory(file.data(), static_cast<DWORD>(file.size())), S_OK);
    const WAVEFORMATEX* format = reader.GetFormat();
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->wFormatTag, 0x11);
    EXPECT_EQ(format->cbSize, 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(format + 1), 4), extra);

    const std::string pcm = PcmWave(1, 8000, 8, "ab");
    ASSERT_EQ(reader.OpenFromMemory(pcm.data(), static_cast<DWORD>(pcm.size())), S_OK);
    EXPECT_EQ(reader.GetFormat()->cbSize, 0); // a PCM format has none, whatever follows
}

TEST(WavReader, NameThatIsNoFileOpensAResourceOfTheExecutable)
{
    ScratchDir dir; // no chime.wav or bell.wav here
    const std::string file = ReadFileBytes(VIREO_TEST_DATA_DIR "/sound/chime.wav");
    const std::string samples = file.substr(44);

    for (const wchar_t* name : {L"chime.wav", L"bell.wav"}) { // types "WAVE" and "WAV"
        CWavReader reader;
        ASSERT_EQ(reader.Open(name, WAVEFILE_READ), S_OK);
        EXPECT_EQ(reader.GetSize(), samples.size());
        EXPECT_EQ(ReadAll(reader, 1000), samples);
        ASSERT_EQ(std::pair(reader.ResetFile(), reader.ResetFile()), std::pair(S_OK, S_OK));
        EXPECT_EQ(ReadAll(reader, 333), samples); // two rewinds in a row: all of it again
    }
    CWavReader none;
    EXPECT_EQ(none.Open(L"nothing.wav", WAVEFILE_READ), E_FAIL);
    EXPECT_EQ(none.GetSize(), 0u);
}

} // namespace
