#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>

#include <windows.h>

#include "atomic_write.h"
#include "utf8_path.h"
#include "wide_text.h"

namespace checker {

namespace {

std::string SystemText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L'.' || message.back() == L' '))
        message.pop_back();
    return message.empty() ? "ошибка " + std::to_string(code)
                           : untrusted_files::Utf8FromWide(message);
}

bool Missing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Close() {
        const bool closed = !valid() || CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

FileIdentity IdentityFrom(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info) {
    FileIdentity identity;
    identity.device = info.dwVolumeSerialNumber;
    identity.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity.size = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
        info.ftLastWriteTime.dwLowDateTime;
    identity.modifiedNanoseconds = static_cast<std::int64_t>(ticks * 100);
    identity.mode = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0644;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        identity.notRewritable = "символическая ссылка";
    else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
             GetFileType(file) != FILE_TYPE_DISK)
        identity.notRewritable = "не обычный файл";
    else if (info.nNumberOfLinks > 1)
        identity.notRewritable = "у файла несколько имён (жёсткие ссылки)";
    return identity;
}

// The identity of the name itself: a link is not followed. Sets code when there is none.
std::optional<FileIdentity> IdentityOfName(const std::wstring& path, DWORD& code) {
    const Handle file(
        CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info)) {
        code = GetLastError();
        return std::nullopt;
    }
    return IdentityFrom(file.get(), info);
}

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modifiedNanoseconds == b.modifiedNanoseconds;
}

// Whether path is still what the caller read (or still absent, for a new file).
bool StillAsRead(const std::wstring& path, const std::optional<FileIdentity>& expected,
                 std::string& error) {
    DWORD code = 0;
    const std::optional<FileIdentity> now = IdentityOfName(path, code);
    if (!now) {
        if (Missing(code) && !expected) return true;
        error = expected ? "файл пропал с тех пор, как его прочли" : SystemText(code);
        return false;
    }
    if (!expected) {
        error = "файл появился с тех пор, как папку прочли";
        return false;
    }
    if (!now->notRewritable.empty()) {
        error = now->notRewritable;
        return false;
    }
    if (!SameFile(*now, *expected)) {
        error = "файл изменился с тех пор, как его прочли";
        return false;
    }
    return true;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), DWORD{1} << 30));
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// A name beside path that no other writer picks: the process, the time and a counter.
std::wstring TemporaryName(const std::wstring& path) {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::filesystem::path target(path);
    return (target.parent_path() / (L"." + target.filename().wstring() + L".tsldemo-check-" +
                                    std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(now) + L"-" + std::to_wstring(counter++)))
        .wstring();
}

}  // namespace

std::string GroupName(std::uint32_t group) { return std::to_string(group); }

std::optional<FileIdentity> IdentityOf(const std::string& path, std::string& error) {
    const std::optional<std::wstring> wide = untrusted_files::WideFromUtf8(path);
    if (!wide) return std::nullopt;
    DWORD code = 0;
    std::optional<FileIdentity> identity = IdentityOfName(*wide, code);
    if (!identity && !Missing(code)) error = SystemText(code);
    return identity;
}

std::optional<FileIdentity> WriteAtomically(const std::string& path, std::string_view bytes,
                                            const std::optional<FileIdentity>& expected,
                                            FileMode newMode, std::string& error) {
    const std::optional<std::wstring> wide = untrusted_files::WideFromUtf8(path);
    if (!wide) {
        error = "имя файла не в UTF-8";
        return std::nullopt;
    }
    if (!StillAsRead(*wide, expected, error)) return std::nullopt;
    const std::wstring temp = TemporaryName(*wide);
    Handle file(CreateFileW(temp.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        error = "не удалось создать временный файл: " + SystemText(GetLastError());
        return std::nullopt;
    }
    const auto fail = [&](const std::string& what) {
        error = what + ": " + SystemText(GetLastError());
        file.Close();
        DeleteFileW(temp.c_str());
        return std::nullopt;
    };
    if (!WriteAll(file.get(), bytes)) return fail("не удалось записать временный файл");
    if (!FlushFileBuffers(file.get())) return fail("не удалось записать временный файл на диск");
    if (!file.Close()) return fail("не удалось записать временный файл");
    // Looked at once more just before the move, which takes the place of whatever is there.
    if (!StillAsRead(*wide, expected, error)) {
        DeleteFileW(temp.c_str());
        return std::nullopt;
    }
    // A move within one folder is a rename: readers see the old file or the new one whole.
    // A new file must not replace one that appeared meanwhile.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (expected ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temp.c_str(), wide->c_str(), flags)) {
        error = "не удалось заменить файл: " + SystemText(GetLastError());
        DeleteFileW(temp.c_str());
        return std::nullopt;
    }
    const FileMode mode = expected ? expected->mode : newMode;
    if ((mode & 0222) == 0) SetFileAttributesW(wide->c_str(), FILE_ATTRIBUTE_READONLY);
    DWORD code = 0;
    std::optional<FileIdentity> written = IdentityOfName(*wide, code);
    if (!written) error = "не удалось прочесть записанный файл: " + SystemText(code);
    return written;
}

}  // namespace checker
