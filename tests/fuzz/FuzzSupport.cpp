#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "lib/ProgramFolder.h"

const std::string& fuzzFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/vezor-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        std::string path = made ? made : "/tmp";
        setProgramFolder(path);
        return path;
    }();
    return folder;
}

std::string writeFuzzFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzzFolder() + "/" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}
