#include <gtest/gtest.h>

#include <unicode/uloc.h>

#include "collation.h"
#include "default_locale.h"

using namespace dialogue;
using testing_support::DefaultLocale;

TEST(Collation, LocaleLessEnvironmentOrdersAsRussianIgnoringCase) {
    for (const char* name : {"en_US_POSIX", "c"}) {
        DefaultLocale locale(name);
        PhraseCollator collator;
        EXPECT_EQ(collator.LocaleName(), "ru") << name;
        EXPECT_EQ(collator.Compare(u"Apple", u"apple"), 0) << name;
        EXPECT_EQ(collator.Compare(u"ГРИПП", u"грипп"), 0) << name;
        EXPECT_LT(collator.Compare(u"арбуз", u"Банан"), 0) << name;
        EXPECT_NE(collator.Compare(u"ёж", u"еж"), 0) << name;
    }
}

TEST(Collation, NamedLocaleIsUsed) {
    DefaultLocale locale("en_US");
    PhraseCollator collator;
    EXPECT_EQ(collator.LocaleName(), "en_US");
    EXPECT_EQ(collator.Compare(u"Apple", u"apple"), 0);
    // English puts Latin before Cyrillic.
    EXPECT_LT(collator.Compare(u"zebra", u"арбуз"), 0);
}

TEST(Collation, PrefixComparisonTakesTheWholeLineWhenShorter) {
    EXPECT_TRUE(BeginsWith(u"гол|ответ", u"гол"));
    EXPECT_TRUE(BeginsWith(u"гол|ответ", u"гол|о"));
    EXPECT_FALSE(BeginsWith(u"гол", u"голова"));
    EXPECT_FALSE(BeginsWith(u"Гол", u"гол"));  // the handlers compare lower-cased text
}
