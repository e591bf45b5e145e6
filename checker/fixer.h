#pragma once
// Repairs the mechanical mistakes of a knowledge base: a missing UTF-8 mark, blanks before
// "|", and lines kept in a file where the program never looks for them. A repair is made
// only when every question keeps the answer the program gives to it now; the rest is left
// as it is and reported.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "atomic_write.h"

namespace checker {

struct FixChange {
    enum class Action {
        RemoveTemporary,  // a temporary file that an interrupted run left, removed
        AddMark,          // the UTF-8 mark put before a file that lacked it
        RemoveBlanks,     // blanks before "|" removed, the line kept in its place
        Move,             // the line moved to the end of the file the program reads for it
        Kept,             // a line that needs one of these left as it is: reason says why
        FileKept,         // a file that needs a repair left as it is: reason says why
        WriteFailed,      // the file could not be written: reason says why; later files were not
        GroupChanged,     // written with the writer's group, its own could not be kept: reason says
                          // which
    };
    Action action = Action::Kept;
    std::string file;      // relative to the folder, e.g. "mem/г"
    std::size_t line = 0;  // 1-based, by the program's line splitting; 0 for the file
    std::string target;    // Move: the file the line went to
    std::size_t targetLine = 0;
    bool blanksRemoved = false;  // Move: blanks before "|" removed on the way
    bool alreadyThere = false;   // Move: the target holds the same line already (an earlier
                                 // run stopped after writing it): only this copy goes
    std::u16string text;         // the line as it is written now
    std::u16string reason;
};

struct FixResult {
    std::vector<FixChange> changes;  // by file, then line
    std::size_t made = 0;            // repairs written (in a dry run: that would be made)
    std::size_t unwritten = 0;       // repairs planned but not written after a failed write
    std::size_t kept = 0;            // repairs left undone
    std::size_t filesWritten = 0;
    bool writeFailed = false;
};

// Writes one file as WriteAtomically does.
using FileWriter = std::function<std::optional<FileIdentity>(
    const std::string& path, std::string_view bytes, const std::optional<FileIdentity>& expected,
    FileMode newMode, std::string& error)>;

struct FixOptions {
    bool dryRun = false;
    // Given the planned changes before anything is written (in a dry run too); when it
    // returns false (their report could not be written), nothing is.
    std::function<bool(const FixResult&)> beforeWriting;
    FileWriter write = WriteAtomically;  // tests stand in for it to interrupt a run
};

// Plans the repairs of programDir's mem/ and, unless dryRun, writes them: every file
// atomically, keeping its permissions, the files that receive lines before those that lose
// them, so that an interrupted run can leave a line in both but never lose one. The next run
// completes such a move without adding the line again, and removes the temporary files of
// the checker's own naming that a killed run left (regular files of ours only).
FixResult FixFolder(std::u16string_view programDir, const FixOptions& options);
FixResult FixFolder(std::u16string_view programDir, bool dryRun);

}  // namespace checker
