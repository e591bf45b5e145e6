#include <iostream>
#include <new>
#include <string>
#include <vector>

#include <unistd.h>

#include "command_line.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    checker::RunEnvironment environment;
    environment.ownFolder = checker::OwnExecutableFolder();
    environment.stderrIsTerminal = ::isatty(STDERR_FILENO) == 1;
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
