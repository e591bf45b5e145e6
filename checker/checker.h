#pragma once
// Finds the lines of a knowledge base that the assistant can never answer, or answers
// badly, by running the dialogue library's own reading, ordering and selection over
// every knowledge file of a folder.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "finding_kinds.h"

namespace checker {

struct Finding {
    // Relative to the checked folder, e.g. "mem/г"; UTF-8 (bytes that are not become U+FFFD).
    std::string file;
    // 1-based line number by the program's own line splitting; 0 for the file as a whole.
    std::size_t line = 0;
    Kind kind = Kind::Unreadable;
    // Russian, without the offending text shown in full; may quote a shortened form of it.
    std::u16string message;
    // The offending line as the file holds it (or the file name for a file finding).
    std::u16string text;
};

struct CheckTotals {
    std::size_t files = 0;  // knowledge files read
    std::size_t lines = 0;  // lines of those files
    std::size_t errors = 0;
    std::size_t warnings = 0;
};

struct CheckResult : CheckTotals {
    std::vector<Finding> findings;  // sorted by file, then line
};

// Receives the findings in order: by file (by name in mem/), then by line.
using FindingSink = std::function<void(const Finding&)>;
// Called after each knowledge file read: how many of how many are done.
using ProgressFunction = std::function<void(std::size_t done, std::size_t total)>;

// Checks folder/mem against folder/bio; programDir ends with "/" as the program's does.
// Findings go to the sink line by line, so that memory stays bounded by the largest file.
// A file that would need more memory than memoryLimit (by default what the system has
// available) becomes an "unreadable" finding of its own, and the check goes on.
CheckTotals CheckFolder(std::u16string_view programDir, const FindingSink& sink,
                        const ProgressFunction& progress = {},
                        std::optional<std::size_t> memoryLimit = std::nullopt);
// The same, keeping every finding.
CheckResult CheckFolder(std::u16string_view programDir, const ProgressFunction& progress = {},
                        std::optional<std::size_t> memoryLimit = std::nullopt);

}  // namespace checker
