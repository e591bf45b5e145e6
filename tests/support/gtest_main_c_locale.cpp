// The test program's main, with ICU's locale that of the C environment on every system.
#include <gtest/gtest.h>

#include "c_locale_collation.h"

int main(int argc, char** argv) {
    testing_support::UseTheCEnvironmentsLocale();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
