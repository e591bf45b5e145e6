#pragma once
// Generated knowledge files of realistic shape for the benchmarks.
#include <cstddef>
#include <filesystem>
#include <string>

namespace bench {

// A UTF-8 knowledge file (with mark) of `lines` lines whose questions all begin with
// `initial`; about 6 MB per 100,000 lines. The same seed gives the same bytes.
std::string GenerateKnowledgeFile(std::size_t lines, char16_t initial, unsigned seed);

// A temporary program folder removed with the object.
class BenchFolder {
public:
    BenchFolder();
    ~BenchFolder();
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    std::filesystem::path Root() const { return root_; }
    std::u16string Dir() const;
    // Writes mem/<initial> and returns its path as the program forms it.
    std::u16string Write(char16_t initial, const std::string& bytes) const;

private:
    std::filesystem::path root_;
};

}  // namespace bench
