#include "knowledge_files.h"

#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "errors.h"
#include "memory_budget.h"

namespace dialogue {

namespace {

bool CanNameFile(char16_t unit) {
    const bool surrogateHalf = unit >= 0xD800 && unit <= 0xDFFF;
    return !surrogateHalf && unit != u'\0' && unit != u'/';
}

[[noreturn]] void ThrowOpenError(std::u16string_view path, int error) { throw OpenErrorFor(path, error); }

std::string ReadOpenFile(int fd, std::size_t size, std::u16string_view path);

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::u16string KnowledgeFilePath(std::u16string_view programDir, char16_t first) {
    std::u16string path = KnowledgeFolder(programDir);
    path.push_back(first);
    return path;
}

std::u16string FallbackFilePath(std::u16string_view programDir) {
    return KnowledgeFolder(programDir) + kFallbackName;
}

std::u16string SelectKnowledgeFile(std::u16string_view programDir, std::u16string_view key) {
    if (!key.empty() && CanNameFile(key.front())) {
        std::u16string path = KnowledgeFilePath(programDir, key.front());
        if (IsRegularFile(path)) return path;
    }
    return FallbackFilePath(programDir);
}

FileOpenError OpenErrorFor(std::u16string_view path, int error) {
    return FileOpenError(u"Cannot open file \"" + NormalisedPath(path) + u"\". " + ReasonText(error));
}

std::u16string NormalisedPath(std::u16string_view path) {
    std::error_code error;
    std::filesystem::path native(ToUtf8(path));
    std::filesystem::path absolute = std::filesystem::absolute(native, error);
    if (error) absolute = native;
    return FromUtf8(absolute.lexically_normal().string());
}

std::string ReadKnowledgeFile(std::u16string_view path) {
    // Non-blocking, so that a FIFO in place of a file cannot hang the program.
    FileDescriptor file(::open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) ThrowOpenError(path, errno);

    struct stat info {};
    if (::fstat(file.get(), &info) != 0) ThrowOpenError(path, errno);
    if (S_ISDIR(info.st_mode)) ThrowOpenError(path, EISDIR);
    if (!S_ISREG(info.st_mode)) ThrowOpenError(path, EINVAL);
    if (static_cast<unsigned long long>(info.st_size) > kMaxKnowledgeFileBytes) {
        ThrowOpenError(path, EFBIG);
    }
    if (static_cast<unsigned long long>(info.st_size) >= AvailableMemory()) ThrowOpenError(path, ENOMEM);
    try {
        return ReadOpenFile(file.get(), static_cast<std::size_t>(info.st_size), path);
    } catch (const std::bad_alloc&) {
        ThrowOpenError(path, ENOMEM);
    }
}

namespace {

std::string ReadOpenFile(int fd, std::size_t size, std::u16string_view path) {
    std::string bytes;
    // One byte of room beyond the size, so that the end is seen without growing.
    bytes.resize(size + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            // The file may have grown since fstat; keep reading up to the limit.
            if (bytes.size() >= kMaxKnowledgeFileBytes) ThrowOpenError(path, EFBIG);
            bytes.resize(bytes.size() + 4096);
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            ThrowOpenError(path, errno);
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

}  // namespace

}  // namespace dialogue
