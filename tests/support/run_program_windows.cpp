#include <windows.h>

#include "run_program.h"
#include "temp_folder.h"
#include "wide_text.h"

namespace testing_support {

namespace {

// One argument as the C runtime splits a command line: quoted, with the backslashes before
// a quote (and before the closing quote) doubled.
std::wstring Quoted(const std::wstring& arg) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

std::wstring Wide(const std::string& text) {
    return untrusted_files::WideFromUtf8(text).value_or(std::wstring());
}

HANDLE Inheritable(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadAll(const std::filesystem::path& path) {
    std::string bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& workingFolder) {
    TempFolder capture;
    std::wstring command = Quoted(Wide(program));
    for (const auto& arg : args) command += L" " + Quoted(Wide(arg));
    const HANDLE out = Inheritable(capture.Under("out"));
    const HANDLE err = Inheritable(capture.Under("err"));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const std::wstring folder = Wide(workingFolder);
    const bool started =
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &process);
    CloseHandle(out);
    CloseHandle(err);
    ProgramRun run;
    if (!started) return run;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) run.status = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.out = ReadAll(capture.Under("out"));
    run.err = ReadAll(capture.Under("err"));
    return run;
}

}  // namespace testing_support
