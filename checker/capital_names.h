#pragma once
// Knowledge files named with a capital letter. The program looks for the small letter's
// name; where file names ignore case (Windows), that name opens the capital's file.
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace checker {

// For mem/<capital>: the path the program opens for the small letter when that is this very
// file, which it is only where names ignore case and mem/ lists no name of the small letter
// beside it (listed holds mem/'s names in UTF-8). Nothing otherwise.
std::optional<std::u16string> SmallLetterPathOf(std::u16string_view programDir, char16_t capital,
                                                const std::set<std::string>& listed);

}  // namespace checker
