#pragma once
// A temporary folder of files for the reading tests.
#include <filesystem>
#include <fstream>
#include <string>

#include "temp_folder.h"
#include "untrusted_file.h"

namespace untrusted_file_testing {

class Folder : public testing_support::TempFolder {
public:
    Folder() : TempFolder("tsl-untrusted-") {}

    // Writes the file with exactly these bytes and returns its path (UTF-8).
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Under(name), std::ios::binary) << bytes;
        return Path(name);
    }
};

}  // namespace untrusted_file_testing
