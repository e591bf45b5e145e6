#include "distinct_lines.h"

#include <algorithm>
#include <cstring>
#include <random>

#include "errors.h"

namespace dialogue {

namespace {

std::uint64_t Mix(std::uint64_t a, std::uint64_t b) {
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

std::uint64_t Load(const unsigned char* at) {
    std::uint64_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return word;
}

struct HashKeys {
    std::uint64_t k[4];
};

// Chosen anew in every run, so that no file can be made whose lines all share one hash
// and make every insertion probe them all.
const HashKeys& Keys() {
    static const HashKeys keys = [] {
        std::random_device random;
        HashKeys chosen{};
        for (std::uint64_t& k : chosen.k) k = (std::uint64_t{random()} << 32) ^ random();
        return chosen;
    }();
    return keys;
}

// The line's bytes are read eight at a time: std::hash reads them one by one, and hashing
// is a good part of reading a large file.
std::size_t HashOf(std::u16string_view line) {
    const std::uint64_t* k = Keys().k;
    const auto* at = reinterpret_cast<const unsigned char*>(line.data());
    std::size_t left = line.size() * sizeof(char16_t);
    std::uint64_t state = Mix(left ^ k[0], k[1]);
    for (; left >= 16; at += 16, left -= 16)
        state = Mix(Load(at) ^ k[1], Load(at + 8) ^ k[2] ^ state);
    if (left >= 8) {
        state = Mix(Load(at) ^ k[2], state ^ k[3]);
        at += 8;
        left -= 8;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, at, left);
    return Mix(tail ^ k[3], state ^ k[0]);
}

}  // namespace

DistinctLines::DistinctLines(std::u16string_view text, std::size_t maxBytes)
    : slots_(64, 0), maxBytes_(maxBytes) {
    ReserveForLinesOf(text);
    // Each line goes in one line late: its slot is fetched while the next line is split
    // and hashed, so that the table's misses overlap that work.
    struct Waiting {
        std::u16string_view line;
        std::size_t hash = 0;
        std::size_t fileLine = npos;
    } waiting;
    std::u16string_view previous;
    bool any = false;
    stop_ = ForEachLine(text, [&](std::u16string_view line) {
        ++fileLines_;
        // Runs of one repeated line (blank lines above all) are common: no hashing for them.
        if (any && line == previous) return;
        any = true;
        previous = line;
        const std::size_t hash = HashOf(line);
        __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
        if (waiting.fileLine != npos) Insert(waiting.line, waiting.hash, waiting.fileLine);
        waiting = {line, hash, fileLines_ - 1};
    });
    if (waiting.fileLine != npos) Insert(waiting.line, waiting.hash, waiting.fileLine);
}

void DistinctLines::ReserveForLinesOf(std::u16string_view text) {
    // Growing by doubling would copy the collection again and again and touch twice the
    // memory it ends with. Where a line per line break would take no more room than the
    // text itself, that room is reserved at once: memory that is not written to costs
    // nothing. Other files, whose lines are mostly line breaks or repeats of one short
    // line, grow with their distinct lines as they come. The line breaks are counted in
    // the text's beginning and the rest reckoned alike, with some room to spare; should
    // the rest hold more, the collection grows from there.
    constexpr std::size_t kSampleUnits = std::size_t{1} << 16;
    const std::u16string_view sample = text.substr(0, kSampleUnits);
    const auto sampleLines =
        static_cast<std::size_t>(std::count(sample.begin(), sample.end(), u'\n'));
    const std::size_t lines = sample.size() == text.size()
                                  ? sampleLines + 1
                                  : sampleLines * (text.size() / sample.size()) * 9 / 8 + 64;
    constexpr std::size_t kBytesPerLine =
        sizeof(std::u16string_view) + 2 * sizeof(std::size_t) + 4 * sizeof(std::uint32_t);
    if (lines * kBytesPerLine > text.size() * sizeof(char16_t) ||
        lines * kBytesPerLine * 3 > maxBytes_)
        return;
    lines_.reserve(lines);
    hashes_.reserve(lines);
    firstFileLines_.reserve(lines);
    std::size_t slots = slots_.size();
    while (slots < 2 * lines) slots *= 2;
    slots_.assign(slots, 0);
}

std::size_t DistinctLines::Find(std::u16string_view line, std::size_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t entry = slots_[slot];
        if (entry == 0) return npos;
        const std::size_t index = entry - 1;
        if (hashes_[index] == hash && lines_[index] == line) return index;
    }
}

std::size_t DistinctLines::IndexOf(std::u16string_view line) const {
    return Find(line, HashOf(line));
}

void DistinctLines::Insert(std::u16string_view line, std::size_t hash, std::size_t fileLine) {
    const std::size_t found = Find(line, hash);
    if (found != npos) return;
    if (2 * (lines_.size() + 1) > slots_.size()) Grow();
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    lines_.push_back(line);
    hashes_.push_back(hash);
    firstFileLines_.push_back(fileLine);
    units_ += line.size();
    slots_[slot] = static_cast<std::uint32_t>(lines_.size());
}

std::size_t DistinctLines::MemoryBytes() const {
    return lines_.capacity() * sizeof(decltype(lines_)::value_type) +
           hashes_.capacity() * sizeof(hashes_[0]) +
           firstFileLines_.capacity() * sizeof(firstFileLines_[0]) +
           slots_.capacity() * sizeof(slots_[0]);
}

void DistinctLines::Grow() {
    // Growing doubles the table and, at worst, both line vectors at once.
    if (MemoryBytes() * 3 > maxBytes_) throw OutOfMemoryError();
    ScratchVector<std::uint32_t> slots(slots_.size() * 2, 0);
    const std::size_t mask = slots.size() - 1;
    for (std::size_t index = 0; index < lines_.size(); ++index) {
        std::size_t slot = hashes_[index] & mask;
        while (slots[slot] != 0) slot = (slot + 1) & mask;
        slots[slot] = static_cast<std::uint32_t>(index + 1);
    }
    slots_ = std::move(slots);
}

}  // namespace dialogue
