#pragma once
// ICU's default locale as the C environment gives it, which the program orders as Russian.
// Tests set it on every system: Windows would otherwise give the user's own locale.
#include <unicode/uloc.h>

namespace testing_support {

inline void UseTheCEnvironmentsLocale() {
    UErrorCode status = U_ZERO_ERROR;
    uloc_setDefault("en_US_POSIX", &status);
}

}  // namespace testing_support
