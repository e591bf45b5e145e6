#pragma once
// The order of the phrase list: a knowledge file's distinct lines sorted by the
// case-insensitive order, with the lines that order calls equal to an earlier one dropped.
#include <cstddef>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "distinct_lines.h"
#include "scratch_vector.h"
#include "text_buffer.h"

namespace dialogue {

class PhraseCollator;

// Where each line goes in the phrase list.
struct PhraseOrder {
    // Indices of the lines held, in list order.
    ScratchVector<std::size_t> held;
    // For every line, the index of the line held in its place: itself, or the earlier
    // line that the order calls equal (a case-duplicate that wins over it).
    ScratchVector<std::size_t> heldFor;
};

struct OrderLimits {
    // Longer lines are ordered by comparing their text rather than by sort keys, which
    // for long lines can outgrow what ICU counts in.
    std::size_t maxKeyedUnits = 4096;
    // The sort keys together may take no more; past it the order throws OutOfMemoryError.
    std::size_t maxKeyBytes = std::numeric_limits<std::size_t>::max();
    // From this many lines on, a file whose lines the weights of single characters cover
    // is keyed by those weights rather than by ICU. Making the table of weights, once,
    // takes about 10 ms, seven times ordering 2,000 lines by ICU's keys; keying by
    // weights saves about as much on the first file of this size.
    std::size_t weightsFromLines = 20'000;
};

// Sorts once, stably, and drops every line that equals an earlier one, which gives the
// list that inserting the lines one by one with a binary search would give.
PhraseOrder OrderPhrases(std::span<const std::u16string_view> lines, const PhraseCollator& collator,
                         const OrderLimits& limits = {});
PhraseOrder OrderPhrases(const std::vector<std::u16string>& lines, const PhraseCollator& collator,
                         const OrderLimits& limits = {});

// A knowledge file's bytes decoded, its distinct lines and their order, built within a
// memory limit that also leaves room for a phrase list of them. Throws DecodeError, or
// OutOfMemoryError before the memory would run out.
class OrderedFile {
public:
    OrderedFile(std::string_view bytes, const PhraseCollator& collator, std::size_t memoryLimit);
    OrderedFile(const OrderedFile&) = delete;
    OrderedFile& operator=(const OrderedFile&) = delete;

    std::u16string_view Text() const { return text_.View(); }
    // Hands the text over; the lines' views are not to be used after it.
    TextBuffer TakeText() { return std::move(text_); }
    const DistinctLines& Distinct() const { return distinct_; }
    std::span<const std::u16string_view> Lines() const { return distinct_.Lines(); }
    const PhraseOrder& Order() const { return order_; }

private:
    TextBuffer text_;  // the lines are views into it: never moved
    DistinctLines distinct_;
    PhraseOrder order_;
};

}  // namespace dialogue
