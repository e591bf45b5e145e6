#include "atomic_write.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace checker {

namespace {

constexpr std::string_view kTemporaryUnique = "XXXXXX";  // mkostemp's letters or digits
static_assert(kTemporaryUnique.size() == kTemporaryUniqueLength);

std::string SystemText(int error) { return std::strerror(error); }

std::string WhyNotRewritable(const struct stat& info) {
    if (S_ISLNK(info.st_mode)) return "символическая ссылка";
    if (!S_ISREG(info.st_mode)) return "не обычный файл";
    if (info.st_nlink > 1) return "у файла несколько имён (жёсткие ссылки)";
    return {};
}

FileIdentity IdentityFrom(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev),
            static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            static_cast<FileMode>(info.st_mode),
            static_cast<std::uint32_t>(info.st_uid),
            static_cast<std::uint32_t>(info.st_gid),
            WhyNotRewritable(info)};
}

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modifiedNanoseconds == b.modifiedNanoseconds;
}

// Whether path is still what the caller read (or still absent, for a new file).
bool StillAsRead(const std::string& path, const std::optional<FileIdentity>& expected,
                 std::string& error) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT && !expected) return true;
        error = expected ? "файл пропал с тех пор, как его прочли" : SystemText(errno);
        return false;
    }
    if (!expected) {
        error = "файл появился с тех пор, как папку прочли";
        return false;
    }
    const FileIdentity now = IdentityFrom(info);
    if (!now.notRewritable.empty()) {
        error = now.notRewritable;
        return false;
    }
    if (!SameFile(now, *expected)) {
        error = "файл изменился с тех пор, как его прочли";
        return false;
    }
    return true;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // the rename is made; a failure here leaves only its durability open
    ::close(fd);
}

}  // namespace

std::string GroupName(std::uint32_t group) {
    std::vector<char> buffer(4096);
    struct group entry {};
    struct group* found = nullptr;
    if (::getgrgid_r(static_cast<gid_t>(group), &entry, buffer.data(), buffer.size(), &found) ==
            0 &&
        found)
        return std::string("«") + found->gr_name + "»";
    return std::to_string(group);
}

LeftTemporary LeftTemporaryAt(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return LeftTemporary::None;
    return info.st_uid == ::geteuid() ? LeftTemporary::Ours : LeftTemporary::OtherUsers;
}

bool RemoveLeftTemporary(const std::string& path, std::string& error) {
    // Looked at again: only a regular file of ours is removed, whatever took its place.
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        error = SystemText(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        error = "на его месте теперь другой файл";
        return false;
    }
    if (::unlink(path.c_str()) != 0) {
        error = SystemText(errno);
        return false;
    }
    return true;
}

std::optional<FileIdentity> IdentityOf(const std::string& path, std::string& error) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) error = SystemText(errno);
        return std::nullopt;
    }
    return IdentityFrom(info);
}

std::optional<FileIdentity> WriteAtomically(const std::string& path, std::string_view bytes,
                                            const std::optional<FileIdentity>& expected,
                                            FileMode newMode, std::string& error) {
    if (!StillAsRead(path, expected, error)) return std::nullopt;
    const std::filesystem::path target(path);
    const std::string folder = target.parent_path().string();
    std::string temp =
        (target.parent_path() / TemporaryName(target.filename().string(), kTemporaryUnique))
            .string();
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        error = "не удалось создать временный файл: " + SystemText(errno);
        return std::nullopt;
    }
    const auto fail = [&](const std::string& what) {
        error = what + ": " + SystemText(errno);
        ::close(fd);
        ::unlink(temp.c_str());
        return std::nullopt;
    };
    if (!WriteAll(fd, bytes)) return fail("не удалось записать временный файл");
    const auto mode = static_cast<mode_t>((expected ? expected->mode : newMode) & 07777);
    if (::fchmod(fd, mode) != 0) return fail("не удалось сохранить права файла");
    struct stat written {};
    if (::fstat(fd, &written) != 0) return fail("не удалось прочесть временный файл");
    if (expected && (written.st_uid != expected->owner || written.st_gid != expected->group)) {
        // A user keeps their own file's owner but can give it only a group they are in: a
        // copy handed over with another group is then written with the user's group, which
        // the caller sees in the identity returned.
        if (::fchown(fd, static_cast<uid_t>(expected->owner),
                     static_cast<gid_t>(expected->group)) != 0 &&
            written.st_uid != expected->owner)
            return fail("не удалось сохранить владельца файла");
        // A change of owner may clear set-id bits; put the mode back.
        if (::fchmod(fd, mode) != 0) return fail("не удалось сохранить права файла");
    }
    if (::fsync(fd) != 0) return fail("не удалось записать временный файл на диск");
    if (::fstat(fd, &written) != 0) return fail("не удалось прочесть временный файл");
    if (::close(fd) != 0) {
        error = "не удалось записать временный файл: " + SystemText(errno);
        ::unlink(temp.c_str());
        return std::nullopt;
    }
    // Looked at once more just before the rename, which takes the place of whatever is there.
    if (!StillAsRead(path, expected, error)) {
        ::unlink(temp.c_str());
        return std::nullopt;
    }
    const int renamed =
        expected ? ::rename(temp.c_str(), path.c_str())
                 : ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
    if (renamed != 0) {
        error = "не удалось заменить файл: " + SystemText(errno);
        ::unlink(temp.c_str());
        return std::nullopt;
    }
    SyncFolder(folder.empty() ? "." : folder);
    return IdentityFrom(written);
}

}  // namespace checker
