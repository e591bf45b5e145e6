#pragma once
// Generated knowledge files of realistic shape for the benchmarks.
#include <cstddef>
#include <filesystem>
#include <string>

namespace bench {

// A UTF-8 knowledge file (with mark) of `lines` lines whose questions all begin with
// `initial`; about 6 MB per 100,000 lines. The same seed gives the same bytes. In
// `stressedPercent` of the lines the first vowel of the question bears a stress mark
// (U+0301), as in teaching texts.
std::string GenerateKnowledgeFile(std::size_t lines, char16_t initial, unsigned seed,
                                  unsigned stressedPercent = 0);

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

// The letters of the two files of a letter folder.
inline constexpr char16_t kFirstLetter = u'г';
inline constexpr char16_t kSecondLetter = u'д';

// A program folder whose mem/г and mem/д hold `lines` lines each, with different bytes;
// made once per size for the whole run.
struct LetterFolder {
    BenchFolder folder;
    std::u16string first;   // the path of mem/г
    std::u16string second;  // the path of mem/д
};
LetterFolder& LetterFolderFor(std::size_t lines);

}  // namespace bench
