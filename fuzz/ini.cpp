// Fuzz target for CIniFile, both encodings keyed by the first input byte: even parses the
// rest from memory as ANSI, odd loads it as a file (FF FE selects UTF-16LE) from a folder in
// /dev/shm where there is one. Property: parse -> save -> parse keeps the model.
#include "resource/IniFile.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Records the save format can state again: a header and a key on one line, a value
// without key, or a section holding ';' or '=' read back differently, and so do NUL and
// replacement characters (from text the code page could not hold).
bool Restatable(const SIniLine& line)
{
    for (const std::wstring* text : {&line.strSection, &line.strKey, &line.strValue, &line.strComment}) {
        if (text->find(L'\0') != std::wstring::npos || text->find(L'\uFFFD') != std::wstring::npos)
            return false;
    }
    if (!line.strSection.empty() && !line.strKey.empty())
        return false;
    if (line.strSection.find_first_of(L";=") != std::wstring::npos)
        return false;
    return !(line.strKey.empty() && !line.strValue.empty());
}

// Lengths of the saved lines in code units of the encoding (CR ends a line).
std::vector<std::size_t> SavedLineLengths(const std::string& bytes, bool unicode)
{
    std::vector<std::size_t> lengths;
    const std::size_t unit = unicode ? 2 : 1;
    std::size_t start = unicode ? 2 : 0, i = start;
    for (; i + unit <= bytes.size(); i += unit) {
        if (bytes[i] == '\r' && (!unicode || bytes[i + 1] == '\0')) {
            lengths.push_back((i - start) / unit);
            start = i + 2 * unit; // CR LF
        }
    }
    return lengths;
}

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void CompareModels(const CIniFile& first, const CIniFile& second, const std::string& saved, std::size_t count)
{
    const std::vector<std::size_t> lengths = SavedLineLengths(saved, first.IsUnicode());
    Check(second.GetLines().size() >= count && lengths.size() >= count);
    auto a = first.GetLines().begin();
    auto b = second.GetLines().begin();
    for (std::size_t i = 0; i < count; ++i, ++a, ++b) {
        if (!Restatable(*a) || lengths[i] > CIniFile::kMaxLineLength)
            continue;
        Check(a->strSection == b->strSection && a->strKey == b->strKey && a->strValue == b->strValue &&
              a->strComment == b->strComment);
    }
}

std::filesystem::path ScratchFolder()
{
    static std::filesystem::path folder;
    if (folder.empty()) {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        folder = base / ("vireo-fuzz-ini-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder, ec);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        });
    }
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool fromFile = data[0] & 1;
    CIniFile ini;
    std::wstring inPath, outPath;
    if (fromFile) {
        inPath = (ScratchFolder() / "in.ini").wstring();
        outPath = (ScratchFolder() / "out.ini").wstring();
        std::ofstream(ScratchFolder() / "in.ini", std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
        Check(ini.Load(inPath.c_str(), nullptr) == 1);
        Check(ini.IsUnicode() == (size >= 3 && data[1] == 0xFF && data[2] == 0xFE));
    } else {
        ini.LoadFromMemory(data + 1, static_cast<DWORD>(size - 1));
    }

    // Lookups of the names found, with and without write-back.
    for (const SIniLine& line : ini.GetLines()) {
        if (!line.strKey.empty())
            ini.GetString(L"Picture", line.strKey.c_str(), L"0", FALSE);
        if (!line.strSection.empty())
            ini.GetInt(line.strSection.c_str(), L"PictureCount", 1, FALSE);
    }
    const std::size_t count = ini.GetLines().size();
    std::string saved;
    ini.SaveToBuffer(0, saved);

    CIniFile again;
    if (fromFile) {
        for (const SIniLine& line : ini.GetLines()) {
            if (IniNameEquals(line.strSection, L"\u00B6fuzz"))
                return 0; // our own section name is taken; the comparison would shift
        }
        // Save writes only a modified model: add a section of our own (ignored by the
        // comparison, which covers the lines that were read).
        ini.SetString(L"\u00B6fuzz", L"k", L"v");
        Check(ini.GetString(L"\u00B6FUZZ", L"K", L"", FALSE) == L"v");
        Check(ini.Save(0, outPath.c_str()) == 1);
        Check(again.Load(outPath.c_str(), nullptr) == 1);
        Check(again.IsUnicode() == ini.IsUnicode());
    } else {
        again.LoadFromMemory(saved.data(), static_cast<DWORD>(saved.size()));
        Check(again.GetLines().size() == count);
    }
    CompareModels(ini, again, saved, count);

    // A key set into the first section found reads back from it.
    for (const SIniLine& line : ini.GetLines()) {
        if (line.strSection.empty() || line.strSection.find(L'\0') != std::wstring::npos)
            continue;
        again.SetString(line.strSection.c_str(), L"FuzzKey", L"1,2,3");
        Check(again.GetString(line.strSection.c_str(), L"fuzzkey", L"", FALSE) == L"1,2,3");
        break;
    }
    std::string used;
    again.SaveToBuffer(1, used);
    return 0;
}
