#pragma once
// Sets ICU's default locale for one test and puts the previous one back.
#include <string>

#include <unicode/uloc.h>

namespace testing_support {

class DefaultLocale {
public:
    explicit DefaultLocale(const char* name) : previous_(uloc_getDefault()) { Set(name); }
    ~DefaultLocale() { Set(previous_.c_str()); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    static void Set(const char* name) {
        UErrorCode status = U_ZERO_ERROR;
        uloc_setDefault(name, &status);
    }
    std::string previous_;
};

}  // namespace testing_support
