#pragma once
// Replacing a file so that a reader sees either all of the old bytes or all of the new:
// a temporary file in the same folder, then a rename over the old one.
#include <optional>
#include <string>
#include <string_view>

#include <sys/stat.h>
#include <sys/types.h>

namespace checker {

// What a file was when it was read, so that a file changed or replaced since is not
// overwritten.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

// Why a file may not be rewritten: a symbolic link, anything but a regular file, a file
// with more than one name (a rename would part them); empty when it may.
std::string WhyNotRewritable(const struct stat& info);

// The identity of path itself (a symbolic link is not followed); nothing when it does not exist.
std::optional<FileIdentity> IdentityOf(const std::string& path, std::string& error);

// Whether a file name is that of a temporary file WriteAtomically makes beside the file it
// replaces: "." + the file's name + ".tsldemo-check-" + six letters or digits. A run that was
// killed while writing leaves one behind.
bool IsTemporaryName(std::string_view name);

// Writes bytes to path atomically. With expected, path must still be that file (same inode,
// size and time) and keeps its permissions and owner, and its group where the writer may give
// it that group (else the written file has the writer's, as the identity returned shows);
// without, path must not exist yet and gets newMode. Never follows a symbolic link. Returns the
// written file's identity, or sets error (in Russian) and leaves path as it was.
std::optional<FileIdentity> WriteAtomically(const std::string& path, std::string_view bytes,
                                            const std::optional<FileIdentity>& expected,
                                            mode_t newMode, std::string& error);

}  // namespace checker
