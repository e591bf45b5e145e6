#include "knowledge_files.h"

#include <filesystem>

#include "errors.h"
#include "memory_budget.h"
#include "untrusted_file.h"
#include "utf8_path.h"

namespace dialogue {

namespace {

bool CanNameFile(char16_t unit) {
    const bool surrogateHalf = unit >= 0xD800 && unit <= 0xDFFF;
    return !surrogateHalf && unit != u'\0' && unit != u'/';
}

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
    return FileOpenError(u"Cannot open file \"" + NormalisedPath(path) + u"\". " +
                         ReasonText(error));
}

std::u16string NormalisedPath(std::u16string_view path) {
    std::error_code error;
    const std::filesystem::path native = untrusted_files::PathFromUtf8(ToUtf8(path));
    std::filesystem::path absolute = std::filesystem::absolute(native, error);
    if (error) absolute = native;
    return FromUtf8(untrusted_files::Utf8FromPath(absolute.lexically_normal()));
}

std::string ReadKnowledgeFile(std::u16string_view path) {
    untrusted_files::FileContents read =
        untrusted_files::ReadWholeFile(ToUtf8(path), kMaxKnowledgeFileBytes, AvailableMemory());
    if (read.status != untrusted_files::FileStatus::Read) throw OpenErrorFor(path, read.error);
    return std::move(read.bytes);
}

}  // namespace dialogue
