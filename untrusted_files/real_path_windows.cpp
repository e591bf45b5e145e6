#include <windows.h>

#include "real_path.h"
#include "wide_text.h"

namespace untrusted_files {

std::optional<std::string> RealPath(std::string_view path) {
    const std::optional<std::wstring> wide = WideFromUtf8(path);
    if (!wide || wide->empty() || wide->find(L'\0') != std::wstring::npos) return std::nullopt;
    // Opening follows symbolic links and junctions to what they name; folders need
    // FILE_FLAG_BACKUP_SEMANTICS. Attributes only: nothing is read.
    const HANDLE file = CreateFileW(wide->c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::wstring real(MAX_PATH, L'\0');
    DWORD length = 0;
    while (true) {
        length = GetFinalPathNameByHandleW(file, real.data(), static_cast<DWORD>(real.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length < real.size()) break;
        real.resize(length + 1);
    }
    CloseHandle(file);
    if (length == 0) return std::nullopt;
    real.resize(length);
    // "\\?\C:\..." for a drive, "\\?\UNC\server\share\..." for a network share.
    if (real.rfind(L"\\\\?\\UNC\\", 0) == 0)
        real = L"\\\\" + real.substr(8);
    else if (real.rfind(L"\\\\?\\", 0) == 0)
        real = real.substr(4);
    return Utf8FromWide(real);
}

}  // namespace untrusted_files
