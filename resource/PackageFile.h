// The single-file sprite package: a 32-byte header, the description text (Desc.ini as ANSI
// bytes) and picture records back to back. Reads and checks the layout and writes it; it
// knows nothing about textures or pictures, which the resource loader makes from the bytes.
#pragma once

#include <vireo/platform/Win32.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One picture record as found in the file. Offsets count from the first byte of the file.
struct SPackageRecord {
    std::wstring strName;    // at most 10 UTF-16 code units, up to the first NUL
    std::size_t nOffset = 0; // where the record (its name) starts
    std::size_t nDataOffset = 0;
    DWORD nDataSize = 0; // 0 is a record that carries no picture
};

// A picture to pack: its record name (the file name, such as "007.png") and its file bytes.
struct SPackagePicture {
    std::wstring strName;
    std::vector<BYTE> data;
};

class CPackageFile {
  public:
    static constexpr std::size_t kHeaderSize = 32;       // not read by the loader
    static constexpr std::size_t kDescOffset = 36;       // after the 32-bit length L
    static constexpr std::size_t kNameBytes = 20;        // UTF-16LE, zero-terminated
    static constexpr std::size_t kRecordHeaderSize = 24; // name + 32-bit length N
    // Files are read whole; larger ones are refused rather than held in memory.
    static constexpr std::uint64_t kMaxFileSize = 512ull * 1024 * 1024;
    // What the packer puts into the header; the loader never depends on it.
    static constexpr char kMagic[8] = {'V', 'I', 'R', 'E', 'O', 'P', 'A', 'K'};
    static constexpr DWORD kVersion = 1;

    // Reads the file and checks its layout. 0 without a log line when the file cannot be
    // opened; 0 with a level-3 line when it is too large, too short or its description
    // runs past the end. Records that are cut or run past the end end the walk with a
    // level-3 line; the records before them are kept and the result is 1.
    BOOL Open(const wchar_t* path);
    // The same checks over bytes already in memory (the package takes them over).
    BOOL Parse(std::vector<BYTE> bytes, const wchar_t* nameForLog);
    void Close();

    const BYTE* GetDescText() const { return m_Bytes.size() >= kDescOffset ? m_Bytes.data() + kDescOffset : nullptr; }
    DWORD GetDescLength() const { return m_nDescLength; }
    const std::vector<SPackageRecord>& GetRecords() const { return m_Records; }
    const BYTE* GetRecordData(const SPackageRecord& record) const { return m_Bytes.data() + record.nDataOffset; }
    std::size_t GetFileSize() const { return m_Bytes.size(); }
    // True when the header carries the packer's mark; then GetHeaderVersion is meaningful.
    bool HasPackerHeader() const;
    DWORD GetHeaderVersion() const;

    // The loader's rule for matching a record to picture number i: the name contains the
    // number written with at least three digits ("007", "1000").
    static bool NameHasNumber(const std::wstring& name, int number);
    static std::wstring FormatNumber(int number);
    // A folder package's picture files: number "." extension, tried in this order.
    static constexpr const wchar_t* kPictureExtensions[] = {L"jpg", L"tga", L"png", L"dds", L"dib", L"bmp"};

    // The package bytes for a description and pictures in the order given. 0 with a
    // level-3 line when a name does not fit its 20 bytes or the result would be too large.
    static BOOL Build(const std::string& descText, const std::vector<SPackagePicture>& pictures,
                      std::vector<BYTE>& bytes);
    // Writes bytes to a file (created or replaced); 0 when it cannot be written.
    static BOOL WriteFileBytes(const wchar_t* path, const std::vector<BYTE>& bytes);

  private:
    std::wstring m_strPath;
    std::vector<BYTE> m_Bytes;
    DWORD m_nDescLength = 0;
    std::vector<SPackageRecord> m_Records;
};
