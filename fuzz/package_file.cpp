// Fuzz target for the package-file reader: parse, read every record's bytes and the
// description the way the loader does, then rebuild the package from what was read and
// check that the writer and the reader agree on it. The log a damaged file writes is emptied
// before each input, so it holds one input's lines, never a growing file.
#include "resource/IniFile.h"
#include "resource/PackageFile.h"

#include <vireo/support.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    WriteLog(0, L"");
    CPackageFile package;
    if (!package.Parse(std::vector<BYTE>(data, data + size), L"fuzz.pak"))
        return 0;

    CIniFile ini;
    ini.LoadFromMemory(package.GetDescText(), package.GetDescLength());
    const int count = ini.GetInt(L"Picture", L"PictureCount", 1, TRUE);
    ini.GetInt(L"Animation", L"SeqCount", 0, TRUE);
    ini.GetInt(L"HitBox", L"HitBoxCount", 1, TRUE);

    // The loader's walk: record r serves picture i when its name holds i's number, over at
    // most 10,000 pictures (the loader's cap on PictureCount).
    const int pictures = count < 10000 ? count : 10000;
    std::size_t record = 0;
    unsigned sum = 0;
    for (int i = 0; i < pictures && record < package.GetRecords().size(); ++i) {
        const SPackageRecord& current = package.GetRecords()[record];
        if (!CPackageFile::NameHasNumber(current.strName, i))
            continue;
        const BYTE* bytes = package.GetRecordData(current);
        for (DWORD b = 0; b < current.nDataSize; ++b)
            sum += bytes[b];
        ++record;
    }

    std::vector<SPackagePicture> packed;
    for (const SPackageRecord& r : package.GetRecords()) {
        const BYTE* bytes = package.GetRecordData(r);
        packed.push_back({r.strName, std::vector<BYTE>(bytes, bytes + r.nDataSize)});
    }
    const std::string desc(reinterpret_cast<const char*>(package.GetDescText()), package.GetDescLength());
    std::vector<BYTE> rebuilt;
    if (!CPackageFile::Build(desc, packed, rebuilt))
        return static_cast<int>(sum & 0); // a name the writer cannot state (10 units, no NUL)
    CPackageFile again;
    Check(again.Parse(rebuilt, L"rebuilt.pak") == 1);
    Check(again.GetDescLength() == package.GetDescLength());
    Check(again.GetRecords().size() == packed.size());
    for (std::size_t i = 0; i < packed.size(); ++i) {
        const SPackageRecord& r = again.GetRecords()[i];
        Check(r.strName == packed[i].strName && r.nDataSize == packed[i].data.size());
        Check(std::equal(packed[i].data.begin(), packed[i].data.end(), again.GetRecordData(r)));
    }
    return 0;
}
