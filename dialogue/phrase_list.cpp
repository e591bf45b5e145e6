#include "phrase_list.h"

#include <cerrno>
#include <new>

#include "decoding.h"
#include "errors.h"
#include "knowledge_files.h"
#include "memory_budget.h"
#include "phrase_order.h"

namespace dialogue {

SplitLines ParseKnowledgeBytes(std::string_view bytes) {
    return SplitIntoLines(DecodeKnowledgeText(bytes));
}

PhraseList::PhraseList(const PhraseCollator& collator)
    : collator_(collator), entries_(std::make_shared<const PhraseEntries>()) {}

void PhraseList::Load(std::u16string_view path) {
    std::string bytes = ReadKnowledgeFile(path);
    try {
        LoadBytes(std::move(bytes), path);
    } catch (const OutOfMemoryError&) {
        throw OpenErrorFor(path, ENOMEM);
    }
}

void PhraseList::LoadBytes(std::string bytes, std::u16string_view key) {
    if (loaded_ && bytes == loadedBytes_) return;
    std::optional<RecentLists::List> recent = recent_.Take(key, bytes);
    std::shared_ptr<const PhraseEntries> entries;
    if (recent) {
        entries = std::move(recent->entries);
    } else {
        // Everything that can fail happens before the held lines are replaced.
        try {
            OrderedFile file(bytes, collator_, memoryLimit_ ? *memoryLimit_ : AvailableMemory());
            entries = PhraseEntries::From(file);
        } catch (const std::bad_alloc&) {
            ReturnFreedMemory();
            throw OutOfMemoryError();
        }
        ReturnFreedMemory();
    }
    if (loaded_ && loadedKey_ != key)
        recent_.Keep({std::move(loadedKey_), std::move(loadedBytes_), std::move(entries_)});
    entries_ = std::move(entries);
    loadedBytes_ = std::move(bytes);
    loadedKey_ = std::u16string(key);
    loaded_ = true;
}

}  // namespace dialogue
