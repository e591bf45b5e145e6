#include <algorithm>
#include <array>
#include <cerrno>
#include <cwctype>
#include <string>

#include <windows.h>

#include "native_file.h"
#include "wide_text.h"

namespace untrusted_files::native {

namespace {

int ErrnoFrom(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EIO;
    }
}

std::wstring Lower(std::wstring_view text) {
    std::wstring lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return lower;
}

std::wstring_view LastName(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/:");
    return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

// Names that open a device rather than a file (CON, NUL, COM1, ... in any folder, with any
// extension), and the device and pipe namespaces: these are never opened, not even to look.
bool NamesDevice(std::wstring_view path) {
    const std::wstring lower = Lower(path);
    if (lower.rfind(L"\\\\.\\", 0) == 0 || lower.rfind(L"//./", 0) == 0 ||
        lower.rfind(L"\\\\?\\globalroot", 0) == 0)
        return true;
    std::wstring name = Lower(LastName(path));
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ') name.pop_back();
    static constexpr std::array<std::wstring_view, 6> kDevices = {L"con", L"prn",    L"aux",
                                                                  L"nul", L"conin$", L"conout$"};
    if (std::find(kDevices.begin(), kDevices.end(), name) != kDevices.end()) return true;
    return name.size() == 4 && (name.rfind(L"com", 0) == 0 || name.rfind(L"lpt", 0) == 0) &&
           ((name[3] >= L'0' && name[3] <= L'9') || name[3] == L'\u00b9' || name[3] == L'\u00b2' ||
            name[3] == L'\u00b3');
}

HANDLE OpenExisting(const std::wstring& path, DWORD access, DWORD flags) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, flags, nullptr);
}

std::optional<Status> StatusOf(HANDLE file, int& error) {
    SetLastError(NO_ERROR);
    const DWORD type = GetFileType(file);
    if (type != FILE_TYPE_DISK) {
        if (type == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR) {
            error = ErrnoFrom(GetLastError());
            return std::nullopt;
        }
        return Status{Kind::Other, 0};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) {
        error = ErrnoFrom(GetLastError());
        return std::nullopt;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Status{Kind::Folder, 0};
    return Status{Kind::Regular,
                  (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow};
}

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

std::optional<Status> Look(std::string_view path, int& error) {
    const std::optional<std::wstring> wide = WideFromUtf8(path);
    if (!wide || wide->empty()) {
        error = ENOENT;
        return std::nullopt;
    }
    if (NamesDevice(*wide)) return Status{Kind::Other, 0};
    // Attributes only, and folders too; links are followed to what they name.
    const HANDLE file = OpenExisting(*wide, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
    if (file == INVALID_HANDLE_VALUE) {
        error = ErrnoFrom(GetLastError());
        return std::nullopt;
    }
    std::optional<Status> status = StatusOf(file, error);
    CloseHandle(file);
    return status;
}

ReadOnlyFile::ReadOnlyFile(std::string_view path, int& error)
    : handle_(reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE)) {
    const std::optional<std::wstring> wide = WideFromUtf8(path);
    if (!wide || wide->empty() || NamesDevice(*wide)) {
        error = wide && !wide->empty() ? EINVAL : ENOENT;
        return;
    }
    // Windows' handles read bytes as stored: no line-end translation, no end at 0x1A.
    const HANDLE file = OpenExisting(*wide, GENERIC_READ, FILE_FLAG_SEQUENTIAL_SCAN);
    if (file == INVALID_HANDLE_VALUE) error = ErrnoFrom(GetLastError());
    handle_ = reinterpret_cast<std::intptr_t>(file);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (IsOpen()) CloseHandle(Handle(handle_));
}

bool ReadOnlyFile::IsOpen() const { return Handle(handle_) != INVALID_HANDLE_VALUE; }

std::optional<Status> ReadOnlyFile::Look(int& error) const {
    return StatusOf(Handle(handle_), error);
}

std::int64_t ReadOnlyFile::Read(char* buffer, std::size_t size, int& error) const {
    DWORD got = 0;
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(size, DWORD{1} << 30));
    if (!ReadFile(Handle(handle_), buffer, wanted, &got, nullptr)) {
        if (GetLastError() == ERROR_HANDLE_EOF) return 0;
        error = ErrnoFrom(GetLastError());
        return -1;
    }
    return got;
}

bool CountsAsProgram(std::string_view path, const Status& status) {
    if (status.kind != Kind::Regular) return false;
    const std::optional<std::wstring> wide = WideFromUtf8(path);
    if (!wide) return false;
    const std::wstring name = Lower(LastName(*wide));
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) return false;
    // What Windows runs or hands to an interpreter when the file is opened: its program
    // extensions, scripts, installers, and shortcuts, which may point at any of them.
    static constexpr std::array<std::wstring_view, 26> kPrograms = {
        L".exe", L".com", L".bat",  L".cmd", L".pif", L".scr", L".cpl", L".msc",      L".msi",
        L".msp", L".lnk", L".url",  L".hta", L".vbs", L".vbe", L".js",  L".jse",      L".wsf",
        L".wsh", L".ps1", L".psm1", L".reg", L".jar", L".scf", L".inf", L".appref-ms"};
    const std::wstring_view extension = std::wstring_view(name).substr(dot);
    return std::find(kPrograms.begin(), kPrograms.end(), extension) != kPrograms.end();
}

}  // namespace untrusted_files::native
