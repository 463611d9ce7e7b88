// Reading and writing the single-file sprite package. Every length and count is checked
// against the bytes present before it is used, in 64-bit arithmetic, so a damaged file gives
// a log line and a bounded allocation; turning picture bytes into textures is not done here.
#include "resource/PackageFile.h"

#include "support/FileBytes.h"

#include <vireo/support.h>

#include <algorithm>
#include <cstring>

namespace {

DWORD ReadU32(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

void PutU32(BYTE* p, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>((value >> (8 * i)) & 0xFF);
}

void AppendU32(std::vector<BYTE>& out, DWORD value)
{
    BYTE bytes[4];
    PutU32(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

} // namespace

BOOL CPackageFile::Open(const wchar_t* path)
{
    Close();
    m_strPath = path ? path : L"";
    std::vector<BYTE> bytes;
    bool tooLarge = false;
    if (!vireo::ReadFileBytes(m_strPath.c_str(), kMaxFileSize, bytes, &tooLarge)) {
        if (tooLarge)
            WriteLog(3, L"Package file larger than %u MiB or of unknown size. File=%s",
                     static_cast<unsigned>(kMaxFileSize >> 20), m_strPath.c_str());
        return 0;
    }
    return Parse(std::move(bytes), m_strPath.c_str());
}

BOOL CPackageFile::Parse(std::vector<BYTE> bytes, const wchar_t* nameForLog)
{
    m_strPath = nameForLog ? nameForLog : L"";
    m_Bytes = std::move(bytes);
    m_Records.clear();
    m_nDescLength = 0;
    const std::size_t size = m_Bytes.size();

    if (size < kDescOffset) {
        WriteLog(3, L"Package file too short: %llu bytes, a header needs %llu. File=%s",
                 static_cast<unsigned long long>(size), static_cast<unsigned long long>(kDescOffset),
                 m_strPath.c_str());
        Close();
        return 0;
    }
    const DWORD descLength = ReadU32(m_Bytes.data() + kHeaderSize);
    if (descLength > size - kDescOffset) {
        WriteLog(3, L"Package description length %lu runs past the end of the file (%llu bytes). File=%s",
                 static_cast<unsigned long>(descLength), static_cast<unsigned long long>(size), m_strPath.c_str());
        Close();
        return 0;
    }
    m_nDescLength = descLength;

    std::size_t pos = kDescOffset + descLength;
    while (pos < size) {
        if (size - pos < kRecordHeaderSize) {
            WriteLog(3, L"Package record %llu cut: %llu bytes left at offset %llu, a record header needs %llu. File=%s",
                     static_cast<unsigned long long>(m_Records.size()), static_cast<unsigned long long>(size - pos),
                     static_cast<unsigned long long>(pos), static_cast<unsigned long long>(kRecordHeaderSize),
                     m_strPath.c_str());
            break;
        }
        SPackageRecord record;
        record.nOffset = pos;
        bool terminated = false;
        for (std::size_t i = 0; i < kNameBytes / 2; ++i) {
            const wchar_t unit = static_cast<wchar_t>(m_Bytes[pos + 2 * i] | (m_Bytes[pos + 2 * i + 1] << 8));
            if (unit == L'\0') {
                terminated = true;
                break;
            }
            record.strName.push_back(unit);
        }
        if (!terminated)
            WriteLog(
                2, L"Package record %llu at offset %llu: name without terminator, its 10 characters are used. File=%s",
                static_cast<unsigned long long>(m_Records.size()), static_cast<unsigned long long>(pos),
                m_strPath.c_str());
        record.nDataSize = ReadU32(m_Bytes.data() + pos + kNameBytes);
        record.nDataOffset = pos + kRecordHeaderSize;
        if (record.nDataSize > size - record.nDataOffset) {
            WriteLog(3,
                     L"Package record %llu at offset %llu: data length %lu runs past the end of the file (%llu bytes). "
                     L"File=%s",
                     static_cast<unsigned long long>(m_Records.size()), static_cast<unsigned long long>(pos),
                     static_cast<unsigned long>(record.nDataSize), static_cast<unsigned long long>(size),
                     m_strPath.c_str());
            break;
        }
        pos = record.nDataOffset + record.nDataSize;
        m_Records.push_back(std::move(record));
    }
    return 1;
}

void CPackageFile::Close()
{
    m_Bytes.clear();
    m_Bytes.shrink_to_fit();
    m_Records.clear();
    m_nDescLength = 0;
}

bool CPackageFile::HasPackerHeader() const
{
    return m_Bytes.size() >= kHeaderSize && std::memcmp(m_Bytes.data(), kMagic, sizeof(kMagic)) == 0;
}

DWORD CPackageFile::GetHeaderVersion() const
{
    return HasPackerHeader() ? ReadU32(m_Bytes.data() + 8) : 0;
}

std::wstring CPackageFile::FormatNumber(int number)
{
    // "%03d": at least three characters, the sign counted among them.
    const bool negative = number < 0;
    std::wstring digits = std::to_wstring(negative ? -static_cast<long long>(number) : number);
    const std::size_t width = negative ? 2 : 3;
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), L'0');
    return negative ? L"-" + digits : digits;
}

bool CPackageFile::NameHasNumber(const std::wstring& name, int number)
{
    return name.find(FormatNumber(number)) != std::wstring::npos;
}

BOOL CPackageFile::Build(const std::string& descText, const std::vector<SPackagePicture>& pictures,
                         std::vector<BYTE>& bytes)
{
    bytes.clear();
    std::uint64_t total = kDescOffset + static_cast<std::uint64_t>(descText.size());
    for (const SPackagePicture& picture : pictures) {
        bool bmpOnly = true;
        for (wchar_t ch : picture.strName)
            bmpOnly = bmpOnly && ch != L'\0' && static_cast<unsigned>(ch) <= 0xFFFF;
        if (!bmpOnly) {
            WriteLog(3, L"Package record name holds a character that is not one UTF-16 unit: %s",
                     picture.strName.c_str());
            return 0;
        }
        if (picture.strName.size() >= kNameBytes / 2) {
            WriteLog(3, L"Package record name too long: %s (at most %llu characters).", picture.strName.c_str(),
                     static_cast<unsigned long long>(kNameBytes / 2 - 1));
            return 0;
        }
        total += kRecordHeaderSize + static_cast<std::uint64_t>(picture.data.size());
    }
    if (total > kMaxFileSize) {
        WriteLog(3, L"Package would be %llu bytes, more than the limit of %llu.",
                 static_cast<unsigned long long>(total), static_cast<unsigned long long>(kMaxFileSize));
        return 0;
    }

    bytes.reserve(static_cast<std::size_t>(total));
    bytes.assign(kHeaderSize, 0);
    std::memcpy(bytes.data(), kMagic, sizeof(kMagic));
    PutU32(bytes.data() + 8, kVersion);
    PutU32(bytes.data() + 12, static_cast<DWORD>(pictures.size()));
    AppendU32(bytes, static_cast<DWORD>(descText.size()));
    bytes.insert(bytes.end(), descText.begin(), descText.end());
    for (const SPackagePicture& picture : pictures) {
        const std::size_t nameStart = bytes.size();
        for (wchar_t ch : picture.strName) {
            bytes.push_back(static_cast<BYTE>(ch & 0xFF));
            bytes.push_back(static_cast<BYTE>((ch >> 8) & 0xFF));
        }
        bytes.resize(nameStart + kNameBytes, 0);
        AppendU32(bytes, static_cast<DWORD>(picture.data.size()));
        bytes.insert(bytes.end(), picture.data.begin(), picture.data.end());
    }
    return 1;
}

BOOL CPackageFile::WriteFileBytes(const wchar_t* path, const std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    std::size_t done = 0;
    BOOL ok = 1;
    while (ok && done < bytes.size()) {
        DWORD written = 0;
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1u << 30);
        ok = WriteFile(file, bytes.data() + done, static_cast<DWORD>(chunk), &written, nullptr) && written > 0;
        done += written;
    }
    CloseHandle(file);
    return ok;
}
