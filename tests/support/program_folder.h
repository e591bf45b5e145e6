#pragma once
// A temporary program folder for tests, its knowledge files written byte by byte.
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "errors.h"
#include "temp_folder.h"
#include "utf8_path.h"

namespace testing_support {

class ProgramFolder {
public:
    ProgramFolder() : root_(folder_.Root()) { std::filesystem::create_directories(root_ / "mem"); }

    // The folder as the program names it: ending with "/".
    std::u16string Dir() const {
        return dialogue::FromUtf8(untrusted_files::Utf8FromPath(root_) + "/");
    }
    const std::filesystem::path& Root() const { return root_; }

    // Writes mem/<name> with exactly these bytes and returns its path as the program forms it.
    std::u16string Write(std::u16string_view name, std::string_view bytes) const {
        const auto path = MemPath(name);
        WriteBytes(path, bytes);
        return dialogue::FromUtf8(untrusted_files::Utf8FromPath(path));
    }
    // Writes a file given relative to the folder (UTF-8, e.g. "mem/г" or "bio/a.html").
    void Write(const std::string& relative, std::string_view bytes) const {
        const auto path = root_ / untrusted_files::PathFromUtf8(relative);
        std::filesystem::create_directories(path.parent_path());
        WriteBytes(path, bytes);
    }
    // A file given relative to the folder, as the program's messages name it (UTF-8, the
    // system's own separators).
    std::string PathOf(const std::string& relative) const { return folder_.Path(relative); }
    std::filesystem::path Under(const std::string& relative) const {
        return folder_.Under(relative);
    }
    std::string RootPath() const { return untrusted_files::Utf8FromPath(root_); }
    std::filesystem::path MemPath(std::u16string_view name) const {
        return root_ / "mem" / untrusted_files::PathFromUtf8(dialogue::ToUtf8(name));
    }

private:
    static void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    TempFolder folder_;
    std::filesystem::path root_;
};

// "\xEF\xBB\xBF" + UTF-8 text.
inline std::string Utf8WithMark(std::string_view text) {
    return "\xEF\xBB\xBF" + std::string(text);
}

}  // namespace testing_support
