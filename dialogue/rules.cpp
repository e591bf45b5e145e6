#include "rules.h"

#include "collation.h"
#include "errors.h"
#include "phrase_list.h"
#include "text.h"
#include "untrusted_file.h"

namespace dialogue {

std::u16string KnowledgeFolder(std::u16string_view programDir) {
    return std::u16string(programDir) + kKnowledgeFolder;
}

std::u16string ArticleRoot(std::u16string_view programDir) {
    return std::u16string(programDir) + kArticleFolder;
}

std::u16string NormalisedKey(std::u16string_view input) { return LowerCase(TrimView(input)); }

std::u16string ArticlePath(std::u16string_view programDir, std::u16string_view link) {
    return ArticleRoot(programDir) + PortLinkSeparators(link);
}

long AnsweringLine(const PhraseList& list, std::u16string_view key) {
    return list.Entries()->FirstWithFoldedQuestion(key);
}

bool IsRegularFile(std::u16string_view path) {
    return untrusted_files::IsRegularFile(ToUtf8(path));
}

}  // namespace dialogue
