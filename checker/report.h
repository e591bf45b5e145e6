#pragma once
// How findings are written: one line of text each, or one JSON object per line.
#include <string>
#include <string_view>

#include "checker.h"
#include "fixer.h"

namespace checker {

// "file:line: kind: message: «text»"; the line number is left out for a whole file.
// Control characters are shown escaped so that a finding always stays one line, and a
// long text is shortened.
std::string FormatText(const Finding& finding);

// {"file":…,"line":…,"kind":…,"severity":…,"message":…,"text":…} without a line break.
std::string FormatJson(const Finding& finding);

// The closing line: counts by severity, files and lines checked.
std::string FormatSummary(const CheckTotals& totals);

// One line for a repair made or left undone by --fix:
// "mem/г:11: перенесена в mem/д:4: «text»", "mem/г: добавлена метка UTF-8", ...
std::string FormatChange(const FixChange& change);

// The line after the repairs: how many were made (or, in a dry run, would be) and left.
std::string FormatFixSummary(const FixResult& result, bool dryRun);

// A JSON string literal of UTF-16 text; a lone surrogate becomes U+FFFD.
std::string JsonString(std::u16string_view text);
std::string JsonString(std::string_view utf8);

// Text for a terminal: C0 controls and DEL escaped as \t, \r, \n or \xNN, lone
// surrogates as U+FFFD, in UTF-8.
std::string VisibleText(std::u16string_view text);

}  // namespace checker
