#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <windows.h>

#include <aclapi.h>

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

// Six letters or digits that no other writer is likely to pick at the same moment.
std::string UniqueLetters() {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937_64 random(
        std::random_device{}() ^ static_cast<std::uint64_t>(GetCurrentProcessId()) ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::string unique;
    for (std::size_t i = 0; i < kTemporaryUniqueLength; ++i)
        unique += kLetters[random() % kLetters.size()];
    return unique;
}

// Makes a new temporary file beside path, named as IsTemporaryName expects; its name goes
// to temp.
HANDLE CreateTemporaryBeside(const std::filesystem::path& target, std::wstring& temp) {
    const std::string fileName = untrusted_files::Utf8FromPath(target.filename());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = (target.parent_path() /
                untrusted_files::PathFromUtf8(TemporaryName(fileName, UniqueLetters())))
                   .wstring();
        const HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE ||
            (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS))
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Whether this process's token holds the SID: as its user, or as the owner it gives the
// files it makes (the Administrators group for an elevated administrator).
bool TokenHolds(PSID sid) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    const Handle owned(token);
    bool holds = false;
    for (const TOKEN_INFORMATION_CLASS kind : {TokenUser, TokenOwner}) {
        DWORD size = 0;
        GetTokenInformation(token, kind, nullptr, 0, &size);
        std::vector<unsigned char> buffer(size);
        if (size == 0 || !GetTokenInformation(token, kind, buffer.data(), size, &size)) continue;
        const PSID held = kind == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid
                                            : reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner;
        holds = holds || EqualSid(held, sid);
    }
    return holds;
}

bool OwnedByThisUser(HANDLE file) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                        nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    const bool ours = owner && TokenHolds(owner);
    LocalFree(descriptor);
    return ours;
}

// The name itself opened (a link is not followed), with the access asked for.
HANDLE OpenName(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool IsRegularFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(file, &info) &&
           (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
               0 &&
           GetFileType(file) == FILE_TYPE_DISK;
}

}  // namespace

std::string GroupName(std::uint32_t group) { return std::to_string(group); }

LeftTemporary LeftTemporaryAt(const std::string& path) {
    const std::optional<std::wstring> wide = untrusted_files::WideFromUtf8(path);
    if (!wide) return LeftTemporary::None;
    const Handle file(OpenName(*wide, FILE_READ_ATTRIBUTES | READ_CONTROL));
    if (!file.valid() || !IsRegularFile(file.get())) return LeftTemporary::None;
    return OwnedByThisUser(file.get()) ? LeftTemporary::Ours : LeftTemporary::OtherUsers;
}

bool RemoveLeftTemporary(const std::string& path, std::string& error) {
    const std::optional<std::wstring> wide = untrusted_files::WideFromUtf8(path);
    if (!wide) {
        error = "имя файла не в UTF-8";
        return false;
    }
    // The file looked at is the one removed: through one handle, whatever takes its name.
    const Handle file(OpenName(*wide, FILE_READ_ATTRIBUTES | READ_CONTROL | DELETE));
    if (!file.valid()) {
        error = SystemText(GetLastError());
        return false;
    }
    if (!IsRegularFile(file.get()) || !OwnedByThisUser(file.get())) {
        error = "на его месте теперь другой файл";
        return false;
    }
    FILE_DISPOSITION_INFO dispose{};
    dispose.DeleteFile = TRUE;
    if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose)) {
        error = SystemText(GetLastError());
        return false;
    }
    return true;
}

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
    std::wstring temp;
    Handle file(CreateTemporaryBeside(std::filesystem::path(*wide), temp));
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
