// The phrase list's order against inserting the lines one by one with ICU's comparison,
// under several locales, for files keyed by the characters' weights and files keyed by ICU.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <unicode/utf16.h>

#include "collation.h"
#include "collation_weights.h"
#include "default_locale.h"
#include "insertion_order.h"
#include "phrase_order.h"

using namespace dialogue;
using testing_support::DefaultLocale;
using testing_support::InsertedOneByOne;

namespace {

// Pieces of many scripts: Latin with diacritics, Cyrillic with Ukrainian letters, Greek,
// Han, katakana followed by iteration marks, digits, punctuation, a stress mark.
const std::vector<std::u16string> kPieces = {
    u"a",  u"A",  u"é",  u"è",  u"ç",  u"ñ",  u"ø",  u"å",  u"ä",     u"Ö", u"ü", u"ß",
    u"ł",  u"l",  u"c",  u"h",  u"aa", u"ch", u"о",  u"О",  u"е",     u"ё", u"Ё", u"и",
    u"й",  u"я",  u"і",  u"ї",  u"є",  u"ґ",  u"Ґ",  u"ά",  u"σ",     u"ς", u"Σ", u"漢",
    u"字", u"ア", u"カ", u"ヽ", u"ヾ", u"か", u"ゝ", u"ゞ", u"ー",    u"0", u"7", u" ",
    u"-",  u".",  u",",  u"!",  u"«",  u"»",  u"—",  u"|",  u"\u0301"};

const std::vector<std::u16string> kRussianWords = {
    u"боль", u"голова", u"горло", u"ребёнок", u"кашель", u"сердце", u"Сон", u"вода", u"Глаза"};

std::u16string RandomLine(std::mt19937& random, const std::vector<std::u16string>& pieces,
                          int longest) {
    std::u16string line;
    const int length = 1 + static_cast<int>(random() % static_cast<unsigned>(longest));
    for (int k = 0; k < length; ++k) line += pieces[random() % pieces.size()];
    return line;
}

// A file of lines and whether the weights must key it.
struct File {
    std::vector<std::u16string> lines;
    bool byWeights = false;
};

using Generator = std::function<File(std::mt19937&, const CollationWeights&)>;

File FromPieces(std::mt19937& random, const std::vector<std::u16string>& pieces) {
    File file;
    for (int n = 0; n < 3000; ++n) {
        file.lines.push_back(RandomLine(random, pieces, 8));
        // Near-copies make ties: the same line in another case, or longer by a piece.
        if (n % 5 == 0) file.lines.push_back(file.lines.back() + pieces[random() % pieces.size()]);
    }
    return file;
}

File ManyScripts(std::mt19937& random, const CollationWeights&) {
    return FromPieces(random, kPieces);
}

// The pieces the weights cover: the file is keyed by them.
File ManyScriptsInTheTable(std::mt19937& random, const CollationWeights& weights) {
    std::vector<std::u16string> pieces;
    std::copy_if(kPieces.begin(), kPieces.end(), std::back_inserter(pieces),
                 [&](const auto& p) { return weights.Covers(p); });
    File file = FromPieces(random, pieces);
    file.byWeights = true;
    return file;
}

// Russian lines, a share of them with a stress mark after a vowel.
Generator StressMarked(unsigned percent) {
    return [percent](std::mt19937& random, const CollationWeights&) {
        File file;
        for (int n = 0; n < 3000; ++n) {
            std::u16string line = RandomLine(random, kRussianWords, 4);
            if (random() % 100 < percent) {
                const std::size_t vowel = line.find_first_of(u"оеёия");
                if (vowel != std::u16string::npos)
                    line = line.substr(0, vowel + 1) + u"\u0301" + line.substr(vowel + 1);
            }
            file.lines.push_back(line);
        }
        return file;
    };
}

// Lines of characters of exactly this many distinct primary weights, the highest ones
// of the table, so that every weight's rank in the file is used.
Generator DistinctPrimaries(std::size_t count) {
    return [count](std::mt19937& random, const CollationWeights& weights) {
        std::vector<std::u16string> pieces;
        std::set<std::uint16_t> primaries;
        for (char32_t c = 0xFFFF; c > 0 && primaries.size() < count; --c) {
            const auto unit = static_cast<char16_t>(c);
            if (weights.Primary(unit) == 0 || primaries.count(weights.Primary(unit)) != 0) continue;
            primaries.insert(weights.Primary(unit));
            pieces.emplace_back(1, unit);
        }
        File file = FromPieces(random, pieces);
        file.byWeights = true;
        return file;
    };
}

// Lines holding this many distinct characters, surrogate pairs among them.
Generator DistinctCharacters(std::size_t count) {
    return [count](std::mt19937& random, const CollationWeights&) {
        std::vector<std::u16string> pieces;
        for (char32_t c = 0x20; pieces.size() < count; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            std::u16string piece;
            if (c > 0xFFFF) {
                piece = {static_cast<char16_t>(U16_LEAD(c)), static_cast<char16_t>(U16_TRAIL(c))};
            } else {
                piece = std::u16string(1, static_cast<char16_t>(c));
            }
            pieces.push_back(piece);
        }
        std::shuffle(pieces.begin(), pieces.end(), random);
        File file;
        for (std::size_t at = 0; at < pieces.size(); at += 20) {
            std::u16string line;
            for (std::size_t k = at; k < std::min(at + 20, pieces.size()); ++k) line += pieces[k];
            file.lines.push_back(line);
        }
        return file;
    };
}

struct Case {
    const char* name;
    const char* locale;
    Generator generate;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class OrderAgainstInsertion : public testing::TestWithParam<Case> {};

}  // namespace

TEST_P(OrderAgainstInsertion, TheListIsThatOfInsertingOneByOne) {
    const Case& c = GetParam();
    DefaultLocale locale(c.locale);
    PhraseCollator collator;
    const CollationWeights* weights = collator.Weights();
    ASSERT_NE(weights, nullptr);
    std::mt19937 random(20261211);
    const File file = c.generate(random, *weights);
    // Which keys the file gets follows from its characters; each kind must be met.
    const bool covered = std::all_of(file.lines.begin(), file.lines.end(),
                                     [&](const auto& line) { return weights->Covers(line); });
    ASSERT_EQ(covered, file.byWeights);

    OrderLimits limits;
    limits.weightsFromLines = 0;
    const PhraseOrder order = OrderPhrases(file.lines, collator, limits);
    std::vector<std::u16string> held;
    for (const std::size_t i : order.held) held.push_back(file.lines[i]);
    const std::vector<std::u16string> expected = InsertedOneByOne(file.lines, collator);
    ASSERT_EQ(held.size(), expected.size());
    for (std::size_t i = 0; i < held.size(); ++i)
        ASSERT_EQ(held[i], expected[i]) << "at " << i << " of " << held.size();
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        ASSERT_LE(order.heldFor[i], i);
        ASSERT_EQ(collator.Compare(file.lines[order.heldFor[i]], file.lines[i]), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, OrderAgainstInsertion,
                         testing::Values(Case{"ManyScripts_ru", "ru", ManyScripts},
                                         Case{"ManyScripts_uk", "uk", ManyScripts},
                                         Case{"ManyScripts_en_US", "en_US", ManyScripts},
                                         Case{"ManyScripts_ja", "ja", ManyScripts},
                                         Case{"ManyScripts_sv", "sv", ManyScripts},
                                         Case{"ManyScripts_de_phonebook", "de@collation=phonebook",
                                              ManyScripts},
                                         Case{"InTheTable_ru", "ru", ManyScriptsInTheTable},
                                         Case{"InTheTable_uk", "uk", ManyScriptsInTheTable},
                                         Case{"InTheTable_en_US", "en_US", ManyScriptsInTheTable},
                                         Case{"InTheTable_ja", "ja", ManyScriptsInTheTable},
                                         Case{"InTheTable_sv", "sv", ManyScriptsInTheTable},
                                         Case{"InTheTable_de_phonebook", "de@collation=phonebook",
                                              ManyScriptsInTheTable},
                                         Case{"StressMarks1Percent", "ru", StressMarked(1)},
                                         Case{"StressMarks10Percent", "ru", StressMarked(10)},
                                         Case{"StressMarks50Percent", "ru", StressMarked(50)},
                                         Case{"Primaries255", "ru", DistinctPrimaries(255)},
                                         Case{"Primaries256", "ru", DistinctPrimaries(256)},
                                         Case{"Characters65535", "ru", DistinctCharacters(65'535)},
                                         Case{"Characters65536", "ru", DistinctCharacters(65'536)}),
                         [](const auto& info) { return std::string(info.param.name); });
