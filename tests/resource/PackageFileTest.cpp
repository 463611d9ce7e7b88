// CPackageFile's reader: damaged files (lengths past the end or overflowing, cut records,
// names without terminator), and record names to picture numbers. The packer's tests read
// back what the writer lays out.
#include "resource/PackageFile.h"
#include "resource/TestFiles.h"

#include <vireo/support.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::string Header(const std::string& desc, std::uint32_t length)
{
    return std::string(32, '\0') + Le32(length) + desc;
}
std::string Header(const std::string& desc)
{
    return Header(desc, static_cast<std::uint32_t>(desc.size()));
}

} // namespace

TEST(PackageFile, ReaderIgnoresTheHeaderAndChecksEveryLength)
{
    const std::string desc = "[Picture]\r\nPictureCount=3\r\n";
    const std::string good = Record(L"000.png", "abc");
    ScratchDir dir; // the working directory, so the log read below is this test's own
    // records: names of the records kept; log: part of the log line expected, or none
    const std::tuple<const char*, std::string, BOOL, std::vector<std::wstring>, const char*> cases[] = {
        // clang-format off
        {"empty file", "", 0, {}, "Package file too short: 0 bytes"},
        {"foreign header bytes", std::string(32, '\x7F') + Le32(0) + good, 1, {L"000.png"}, nullptr},
        {"L to the end", Header(desc), 1, {}, nullptr},
        {"L one past the end", Header(desc, static_cast<std::uint32_t>(desc.size() + 1)), 0, {},
         "description length 28 runs past the end of the file (63 bytes)"},
        {"L 0xFFFFFFDC (36 + L wraps in 32 bits)", Header(desc, 0xFFFFFFDCu), 0, {}, "description length 4294967260"},
        {"record header cut", Header(desc) + good + std::string(23, '\0'), 1, {L"000.png"},
         "record 1 cut: 23 bytes left at offset 90"},
        {"N one past the end", Header(desc) + good + Record(L"001.png", "abc", 4), 1, {L"000.png"},
         "record 1 at offset 90: data length 4 runs past the end"},
        {"N 0xFFFFFFE8 (offset + N wraps in 32 bits)", Header(desc) + good + Record(L"001.png", "", 0xFFFFFFE8u) + good,
         1, {L"000.png"}, "data length 4294967272"},
        {"N 0 then a skipped number", Header(desc) + Record(L"000.png", "") + Record(L"002.png", "z"), 1,
         {L"000.png", L"002.png"}, nullptr},
        {"name without terminator", Header("") + Record(L"ABCDEFGHIJ", "x"), 1, {L"ABCDEFGHIJ"},
         "name without terminator"},
        // clang-format on
    };
    for (const auto& [name, bytes, result, records, rowLog] : cases) {
        WriteLog(0, L"");
        CPackageFile package;
        EXPECT_EQ(package.Parse(std::vector<BYTE>(bytes.begin(), bytes.end()), L"case"), result) << name;
        std::vector<std::wstring> names;
        for (const SPackageRecord& record : package.GetRecords()) {
            names.push_back(record.strName);
            EXPECT_LE(record.nDataOffset + record.nDataSize, package.GetFileSize()) << name;
        }
        EXPECT_EQ(names, records) << name;
        if (!result) {
            EXPECT_EQ(package.GetFileSize(), 0u) << name << ": a refused file is not kept";
        }
        const std::string log = ReadFileBytes("VireoEngine.log");
        if (rowLog) {
            EXPECT_NE(log.find(rowLog), std::string::npos) << name << "\n" << log;
            EXPECT_NE(log.find("File=case"), std::string::npos) << name << "\n" << log;
        } else {
            EXPECT_EQ(log.find("Package"), std::string::npos) << name << "\n" << log;
        }
    }
}

TEST(PackageFile, NumbersMatchNamesWithAtLeastThreeDigits)
{
    const std::tuple<const wchar_t*, int, bool> cases[] = {
        {L"001.png", 0, false},   {L"012.bmp", 12, true}, {L"12.bmp", 12, false}, {L"pic_007", 7, true},
        {L"1000.png", 100, true}, {L"1000.png", 0, true}, {L"", 0, false}};
    for (const auto& [name, number, match] : cases)
        EXPECT_EQ(CPackageFile::NameHasNumber(name, number), match) << number;
    for (const auto& [number, text] : {std::pair{7, L"007"}, {1000, L"1000"}, {-5, L"-05"}, {-123, L"-123"}})
        EXPECT_EQ(CPackageFile::FormatNumber(number), text);
}
