// vireo-pack: turns a package folder into one package file and lists package files. The
// folder is read with the loader's own rules (CIniFile for PictureCount, the same file name
// pattern and extension order), so the packed file loads as the folder does.
#include "Packer.h"

#include "resource/IniFile.h"
#include "support/FileBytes.h"

#include <vireo/support.h>

namespace {

std::wstring Utf8ToWide(const std::string& text)
{
    if (text.empty())
        return {};
    int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(chars > 0 ? chars : 0), L'\0');
    if (chars > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), chars);
    return wide;
}

std::string WideToUtf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), bytes, nullptr,
                            nullptr);
    return narrow;
}

void Print(std::FILE* stream, const std::wstring& text)
{
    const std::string narrow = WideToUtf8(text);
    std::fprintf(stream, "%s\n", narrow.c_str());
}

std::wstring StripTrailingSeparators(std::wstring path)
{
    while (path.size() > 1 && (path.back() == L'/' || path.back() == L'\\'))
        path.pop_back();
    return path;
}

int Pack(const std::wstring& folder, const std::wstring& output, std::FILE* out, std::FILE* err)
{
    SPackerInput input;
    std::wstring error;
    if (!CollectPackageFolder(folder, input, error)) {
        Print(err, L"vireo-pack: " + error);
        return 1;
    }
    for (const std::wstring& warning : input.warnings)
        Print(err, L"vireo-pack: warning: " + warning);
    std::vector<BYTE> bytes;
    if (!CPackageFile::Build(input.strDesc, input.pictures, bytes)) {
        Print(err, L"vireo-pack: the package cannot be built from " + folder + L" (see VireoEngine.log)");
        return 1;
    }
    if (!CPackageFile::WriteFileBytes(output.c_str(), bytes)) {
        Print(err, L"vireo-pack: cannot write " + output);
        return 1;
    }
    Print(out, L"packed " + std::to_wstring(input.pictures.size()) + L" pictures, " + std::to_wstring(bytes.size()) +
                   L" bytes: " + output);
    return 0;
}

int List(const std::wstring& path, std::FILE* out, std::FILE* err)
{
    CPackageFile package;
    if (!package.Open(path.c_str())) {
        Print(err, L"vireo-pack: cannot read a package from " + path + L" (see VireoEngine.log)");
        return 1;
    }
    std::wstring header = L"header not written by vireo-pack";
    if (package.HasPackerHeader())
        header = L"vireo-pack header version " + std::to_wstring(package.GetHeaderVersion());
    Print(out, path + L": " + std::to_wstring(package.GetFileSize()) + L" bytes, " + header);

    CIniFile ini;
    ini.LoadFromMemory(package.GetDescText(), package.GetDescLength());
    Print(out, L"description: " + std::to_wstring(package.GetDescLength()) + L" bytes, " +
                   std::to_wstring(ini.GetLines().size()) + L" lines, PictureCount " +
                   std::to_wstring(ini.GetInt(L"Picture", L"PictureCount", 1, FALSE)));
    Print(out, L"records: " + std::to_wstring(package.GetRecords().size()));
    for (const SPackageRecord& record : package.GetRecords()) {
        Print(out, L"  " + record.strName + L"  offset " + std::to_wstring(record.nOffset) + L"  " +
                       std::to_wstring(record.nDataSize) + L" bytes");
    }
    // Records that the walk stopped before are reported in the log; say so here too.
    const std::size_t end = package.GetRecords().empty()
                                ? CPackageFile::kDescOffset + package.GetDescLength()
                                : package.GetRecords().back().nDataOffset + package.GetRecords().back().nDataSize;
    if (end < package.GetFileSize())
        Print(out, L"damaged: " + std::to_wstring(package.GetFileSize() - end) + L" bytes after the last whole record");
    return end < package.GetFileSize() ? 1 : 0;
}

} // namespace

std::string DescToPackageText(const std::vector<BYTE>& fileBytes)
{
    std::string text;
    if (fileBytes.size() >= 2 && fileBytes[0] == 0xFF && fileBytes[1] == 0xFE) {
        std::wstring wide;
        for (std::size_t i = 2; i + 1 < fileBytes.size(); i += 2) {
            unsigned unit = fileBytes[i] | (fileBytes[i + 1] << 8);
            if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < fileBytes.size()) {
                unsigned low = fileBytes[i + 2] | (fileBytes[i + 3] << 8);
                if (low >= 0xDC00 && low < 0xE000) {
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            wide.push_back(static_cast<wchar_t>(unit));
        }
        if (!wide.empty()) {
            int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                            nullptr);
            text.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
            if (bytes > 0)
                WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), bytes, nullptr,
                                    nullptr);
        }
    } else {
        text.assign(fileBytes.begin(), fileBytes.end());
    }
    // Anything but line feeds after the last carriage return is a last line to keep.
    const std::size_t lastCr = text.rfind('\r');
    const std::size_t tail = (lastCr == std::string::npos) ? 0 : lastCr + 1;
    if (text.find_first_not_of('\n', tail) != std::string::npos)
        text += "\r\n";
    return text;
}

BOOL CollectPackageFolder(const std::wstring& folder, SPackerInput& input, std::wstring& error)
{
    input = SPackerInput{};
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = L"not a package folder: " + folder;
        return 0;
    }

    const std::wstring descPath = folder + L"\\Desc.ini";
    if (FileExists(descPath.c_str())) {
        std::vector<BYTE> bytes;
        if (!vireo::ReadFileBytes(descPath.c_str(), CPackageFile::kMaxFileSize, bytes, nullptr)) {
            error = L"cannot read " + descPath;
            return 0;
        }
        input.strDesc = DescToPackageText(bytes);
    } else {
        input.warnings.push_back(L"no Desc.ini in " + folder + L"; the package loads with every default");
    }

    CIniFile ini;
    ini.LoadFromMemory(input.strDesc.data(), static_cast<DWORD>(input.strDesc.size()));
    int count = ini.GetInt(L"Picture", L"PictureCount", 1, FALSE);
    if (count > kPackerMaxPictures) {
        error = L"PictureCount " + std::to_wstring(count) + L" is more than " + std::to_wstring(kPackerMaxPictures);
        return 0;
    }
    if (count < 1) {
        input.warnings.push_back(L"PictureCount " + std::to_wstring(count) + L" is below 1; picture 000 is packed");
        count = 1;
    }

    for (int i = 0; i < count; ++i) {
        const std::wstring number = CPackageFile::FormatNumber(i);
        for (const wchar_t* extension : CPackageFile::kPictureExtensions) {
            const std::wstring path = folder + L"\\" + number + L"." + extension;
            if (!FileExists(path.c_str()))
                continue;
            SPackagePicture picture;
            picture.strName = number + L"." + extension;
            if (!vireo::ReadFileBytes(path.c_str(), CPackageFile::kMaxFileSize, picture.data, nullptr)) {
                error = L"cannot read " + path;
                return 0;
            }
            input.pictures.push_back(std::move(picture));
            break;
        }
    }
    if (input.pictures.empty())
        input.warnings.push_back(L"no picture file found in " + folder);

    // The loader matches records by the number inside their name; with a picture missing, a
    // later record whose name also holds that number ("1000" holds "100") would be taken.
    std::size_t next = 0;
    for (int i = 0; i < count && next < input.pictures.size(); ++i) {
        const std::wstring& name = input.pictures[next].strName;
        if (name.compare(0, CPackageFile::FormatNumber(i).size() + 1, CPackageFile::FormatNumber(i) + L".") == 0) {
            ++next;
        } else if (CPackageFile::NameHasNumber(name, i)) {
            input.warnings.push_back(L"picture " + std::to_wstring(i) + L" is missing and the loader would take " +
                                     name + L" for it");
            ++next;
        }
    }
    return 1;
}

int RunPacker(const std::vector<std::string>& args, std::FILE* out, std::FILE* err)
{
    if (args.size() == 2 && args[0] == "--list")
        return List(Utf8ToWide(args[1]), out, err);
    if ((args.size() == 1 || args.size() == 2) && !args[0].empty() && args[0][0] != '-') {
        const std::wstring folder = Utf8ToWide(args[0]);
        const std::wstring output = args.size() == 2 ? Utf8ToWide(args[1]) : StripTrailingSeparators(folder) + L".pak";
        return Pack(folder, output, out, err);
    }
    std::fprintf(err, "usage: vireo-pack FOLDER [OUTPUT]   pack a package folder (default OUTPUT: FOLDER.pak)\n"
                      "       vireo-pack --list FILE       list a package file\n");
    return 2;
}
