#pragma once
// The rules of the knowledge base in one place: where its folders lie, the key that an
// input is looked up by, which line answers a key, and where an answer's article lies.
// The handlers, tsldemo-check, the article viewer and the tests all follow these.
#include <string>
#include <string_view>

namespace dialogue {

class PhraseList;

inline constexpr char16_t kKnowledgeFolder[] = u"mem/";
inline constexpr char16_t kFallbackName[] = u"ь";
inline constexpr char16_t kArticleFolder[] = u"bio";

// programDir + "mem/", and programDir + "bio" (a link brings its own leading "/").
std::u16string KnowledgeFolder(std::u16string_view programDir);
std::u16string ArticleRoot(std::u16string_view programDir);

// An input as it is looked up: trimmed and lower-cased (the order does not matter, since
// lower-casing never makes or removes a character that trimming drops).
std::u16string NormalisedKey(std::u16string_view input);

// The page an answer's link names: the article root followed by the link, with "\" read as "/".
std::u16string ArticlePath(std::u16string_view programDir, std::u16string_view link);

// The line that answers key: the first in list order whose question, trimmed and
// lower-cased, equals it; -1 when none does.
long AnsweringLine(const PhraseList& list, std::u16string_view key);

// Whether path names a regular file, symbolic links followed (a folder, FIFO or device is none).
bool IsRegularFile(std::u16string_view path);

}  // namespace dialogue
