#include "collation.h"

#include "collation_weights.h"

#include <cstring>
#include <stdexcept>

#include <unicode/locid.h>
#include <unicode/ucol.h>
#include <unicode/uloc.h>

namespace dialogue {

namespace {

std::string ChooseLocale() {
    const char* name = uloc_getDefault();
    // ICU reports "en_US_POSIX" for the C and POSIX environments.
    if (name == nullptr || *name == '\0' || std::strcmp(name, "en_US_POSIX") == 0 ||
        std::strcmp(name, "c") == 0 || std::strcmp(name, "C") == 0) {
        return "ru";
    }
    return name;
}

}  // namespace

PhraseCollator::PhraseCollator() = default;

UCollator* PhraseCollator::Opened() const {
    if (collator_ != nullptr) return collator_;
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open(ChooseLocale().c_str(), &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        collator_ = ucol_open("ru", &status);
    }
    if (U_FAILURE(status) || collator_ == nullptr) {
        throw std::runtime_error(std::string("ICU collator unavailable: ") + u_errorName(status));
    }
    ucol_setStrength(collator_, UCOL_SECONDARY);
    return collator_;
}

PhraseCollator::~PhraseCollator() {
    weights_.reset();
    if (collator_ != nullptr) ucol_close(collator_);
}

const CollationWeights* PhraseCollator::Weights() const {
    std::call_once(weightsMade_, [this] { weights_ = CollationWeights::For(Opened()); });
    return weights_.get();
}

int PhraseCollator::Compare(std::u16string_view a, std::u16string_view b) const {
    return ucol_strcoll(Opened(), a.data(), static_cast<int32_t>(a.size()), b.data(),
                        static_cast<int32_t>(b.size()));
}

void PhraseCollator::AppendSortKey(std::u16string_view s, ScratchVector<std::uint8_t>& keys) const {
    const std::size_t start = keys.size();
    std::size_t room = s.size() * 3 + 16;
    for (;;) {
        keys.resize(start + room);
        const int32_t needed = ucol_getSortKey(Opened(), s.data(), static_cast<int32_t>(s.size()),
                                               keys.data() + start, static_cast<int32_t>(room));
        if (needed > 0 && static_cast<std::size_t>(needed) <= room) {
            keys.resize(start + static_cast<std::size_t>(needed) - 1);  // drop the trailing zero
            return;
        }
        room = static_cast<std::size_t>(needed > 0 ? needed : 2 * room);
    }
}

std::string PhraseCollator::LocaleName() const {
    UErrorCode status = U_ZERO_ERROR;
    const char* name = ucol_getLocaleByType(Opened(), ULOC_VALID_LOCALE, &status);
    return U_SUCCESS(status) && name != nullptr ? name : "";
}

const PhraseCollator& DefaultCollator() {
    static const PhraseCollator collator;
    return collator;
}

}  // namespace dialogue
