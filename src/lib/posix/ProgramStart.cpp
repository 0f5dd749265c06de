#include "lib/ProgramStart.h"

#include <filesystem>
#include <system_error>

namespace programstart {

std::vector<std::string> arguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::string executableFolder(const char* argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path().string();
}

void rawConsole() {}

}  // namespace programstart
