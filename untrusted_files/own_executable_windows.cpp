#include <cstdio>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>  // after windows.h, whose types it uses

#include "own_executable.h"
#include "utf8_path.h"
#include "wide_text.h"

namespace untrusted_files {

std::string OwnExecutableFolder() {
    std::wstring name(MAX_PATH, L'\0');
    while (true) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(name.size() * 2);
    }
    std::error_code error;
    std::filesystem::path real = std::filesystem::canonical(std::filesystem::path(name), error);
    if (error) real = std::filesystem::path(name);
    return Utf8FromPath(real.parent_path());
}

std::vector<std::string> Utf8Arguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return args;
    for (int i = 1; i < count; ++i) args.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    return args;
}

bool PrepareStandardStreams() {
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return _isatty(_fileno(stderr)) != 0;
}

}  // namespace untrusted_files
