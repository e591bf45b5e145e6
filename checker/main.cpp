#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "command_line.h"
#include "own_executable.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args = untrusted_files::Utf8Arguments(argc, argv);
    checker::RunEnvironment environment;
    environment.ownFolder = checker::OwnExecutableFolder();
    environment.stderrIsTerminal = untrusted_files::PrepareStandardStreams();
    try {
        return checker::RunChecker(args, std::cout, std::cerr, environment);
    } catch (const std::bad_alloc&) {
        std::cerr << "tsldemo-check: проверка прервана: не хватило памяти\n";
        return checker::kExitFailed;
    } catch (const std::exception& e) {
        std::cerr << "tsldemo-check: проверка прервана: " << e.what() << "\n";
        return checker::kExitFailed;
    }
}
