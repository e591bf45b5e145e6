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
        LoadBytes(std::move(bytes));
    } catch (const OutOfMemoryError&) {
        throw OpenErrorFor(path, ENOMEM);
    }
}

void PhraseList::LoadBytes(std::string bytes) {
    if (loaded_ && bytes == loadedBytes_) return;
    // Everything that can fail happens before the held lines are replaced.
    try {
        const OrderedFile file(bytes, collator_, memoryLimit_ ? *memoryLimit_ : AvailableMemory());
        entries_ = PhraseEntries::From(file);
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    }
    loadedBytes_ = std::move(bytes);
    loaded_ = true;
}

}  // namespace dialogue
