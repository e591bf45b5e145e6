#pragma once
// A new, empty folder under the system's temporary folder, removed with everything in it
// when the test ends. Names given to it are UTF-8.
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#include "utf8_path.h"

namespace testing_support {

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "tsl-test-") {
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (int attempt = 0; attempt < 100; ++attempt) {
            const auto candidate =
                std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                root_ = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot make a temporary folder");
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    // A name in the folder, with the system's own separators ("\\" on Windows).
    std::filesystem::path Under(const std::string& relative) const {
        return (root_ / untrusted_files::PathFromUtf8(relative)).make_preferred();
    }
    // The same as the program passes paths: UTF-8.
    std::string Path(const std::string& relative) const {
        return untrusted_files::Utf8FromPath(Under(relative));
    }

private:
    std::filesystem::path root_;
};

}  // namespace testing_support
