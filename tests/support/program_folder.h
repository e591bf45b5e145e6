#pragma once
// A temporary program folder for tests, its knowledge files written byte by byte.
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "errors.h"

namespace testing_support {

class ProgramFolder {
public:
    ProgramFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tsl-test-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        std::filesystem::create_directories(root_ / "mem");
    }
    ~ProgramFolder() {
        std::error_code ignored;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    // The folder as the program names it: ending with "/".
    std::u16string Dir() const { return dialogue::FromUtf8(root_.string() + "/"); }
    const std::filesystem::path& Root() const { return root_; }

    // Writes mem/<name> with exactly these bytes and returns its path as the program forms it.
    std::u16string Write(std::u16string_view name, std::string_view bytes) const {
        const auto path = MemPath(name);
        WriteBytes(path, bytes);
        return dialogue::FromUtf8(path.string());
    }
    // Writes a file given relative to the folder (UTF-8, e.g. "mem/г" or "bio/a.html").
    void Write(const std::string& relative, std::string_view bytes) const {
        const auto path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        WriteBytes(path, bytes);
    }
    std::filesystem::path MemPath(std::u16string_view name) const {
        return root_ / "mem" / dialogue::ToUtf8(name);
    }

private:
    static void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path root_;
};

// "\xEF\xBB\xBF" + UTF-8 text.
inline std::string Utf8WithMark(std::string_view text) {
    return "\xEF\xBB\xBF" + std::string(text);
}

}  // namespace testing_support
