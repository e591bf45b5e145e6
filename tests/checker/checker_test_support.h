#pragma once
// A temporary program folder for the checker's tests, written file by file.
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "errors.h"

namespace checker_testing {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tsl-check-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        std::filesystem::create_directories(root_ / "mem");
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    // The folder as the program names it, ending with "/".
    std::u16string Dir() const { return dialogue::FromUtf8(root_.string() + "/"); }

    // Writes relative (UTF-8, e.g. "mem/г") with exactly these bytes.
    void Write(const std::string& relative, std::string_view bytes) const {
        const auto path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::filesystem::path root_;
};

// UTF-8 with its mark: the lines joined by LF.
inline std::string Utf8File(std::initializer_list<std::string_view> lines) {
    std::string out = "\xEF\xBB\xBF";
    for (const auto line : lines) {
        out += line;
        out += '\n';
    }
    return out;
}

}  // namespace checker_testing
