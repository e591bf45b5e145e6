#include "capital_names.h"

#include "knowledge_files.h"
#include "real_path.h"
#include "text.h"

namespace checker {

std::optional<std::u16string> SmallLetterPathOf(std::u16string_view programDir, char16_t capital,
                                                const std::set<std::string>& listed) {
    const std::u16string small = dialogue::LowerCase(std::u16string(1, capital));
    if (small.empty() || small.front() == capital) return std::nullopt;
    const std::u16string name(1, small.front());
    // Listed itself, the small letter's name is a file of its own (or a link to this one).
    if (listed.count(dialogue::ToUtf8(name)) > 0) return std::nullopt;
    std::u16string path = dialogue::KnowledgeFilePath(programDir, small.front());
    const auto opened = untrusted_files::RealPath(dialogue::ToUtf8(path));
    const auto own = untrusted_files::RealPath(
        dialogue::ToUtf8(dialogue::KnowledgeFilePath(programDir, capital)));
    if (!opened || !own || *opened != *own) return std::nullopt;
    return path;
}

}  // namespace checker
