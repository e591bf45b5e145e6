#pragma once
// Replacing a file so that a reader sees either all of the old bytes or all of the new:
// a temporary file in the same folder, then a rename over the old one.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "temporary_name.h"

namespace checker {

// What a file was when it was read, so that a file changed or replaced since is not
// overwritten.
using FileMode = std::uint32_t;  // permission bits, as in 0644

// Where permission bits, owners and groups do not exist (Windows), mode is 0444 for a
// read-only file and 0644 otherwise, and owner and group are 0.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;  // the file's index within its volume
    std::int64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;
    FileMode mode = 0;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
    // Why the file may not be rewritten: a symbolic link, anything but a regular file, a file
    // with more than one name (a rename would part them); empty when it may.
    std::string notRewritable;
};

// The group's name in «», or its number when it has none.
std::string GroupName(std::uint32_t group);

// The identity of path itself (a symbolic link is not followed); nothing when it does not exist.
std::optional<FileIdentity> IdentityOf(const std::string& path, std::string& error);

// What stands at the path of a file that IsTemporaryName names.
enum class LeftTemporary {
    None,        // no regular file: not what an interrupted run leaves
    Ours,        // a regular file of this user's, which may be removed
    OtherUsers,  // another user's regular file, left alone
};
LeftTemporary LeftTemporaryAt(const std::string& path);

// Removes such a file when it is still a regular file of ours; sets error (in Russian) when
// it is not removed.
bool RemoveLeftTemporary(const std::string& path, std::string& error);

// Writes bytes to path atomically. With expected, path must still be that file (same inode,
// size and time) and keeps its permissions and owner, and its group where the writer may give
// it that group (else the written file has the writer's, as the identity returned shows);
// without, path must not exist yet and gets newMode. Never follows a symbolic link. Returns the
// written file's identity, or sets error (in Russian) and leaves path as it was.
std::optional<FileIdentity> WriteAtomically(const std::string& path, std::string_view bytes,
                                            const std::optional<FileIdentity>& expected,
                                            FileMode newMode, std::string& error);

}  // namespace checker
