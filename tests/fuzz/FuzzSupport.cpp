#include "FuzzSupport.h"

#include <sanitizer/allocator_interface.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "lib/ProgramFolder.h"

namespace {

// Live and peak heap bytes, kept by the allocation hooks. The fuzz run is one
// thread; the hooks only ever run on it.
std::size_t g_live = 0;
std::size_t g_peak = 0;

void onMalloc(const volatile void*, std::size_t size) {
    g_live += size;
    if (g_live > g_peak) g_peak = g_live;
}

void onFree(const volatile void* ptr) {
    if (!ptr) return;
    const std::size_t size = __sanitizer_get_allocated_size(ptr);
    g_live = size > g_live ? 0 : g_live - size;
}

void installHooks() {
    static const bool installed = [] {
        __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
        return true;
    }();
    (void)installed;
}

void writeText(const std::string& path, std::string_view text) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

}  // namespace

const std::string& fuzzFolder() {
    static const std::string folder = [] {
        char shm[] = "/dev/shm/vezor-fuzz-XXXXXX";
        char tmp[] = "/tmp/vezor-fuzz-XXXXXX";
        const char* made = mkdtemp(shm);
        if (!made) made = mkdtemp(tmp);
        std::string path = made ? made : "/tmp";
        setProgramFolder(path);
        // A run that ends normally leaves no scratch files behind. The path is
        // kept in a buffer of its own: the string is gone by then.
        static char kept[sizeof shm] = {};
        if (made && path.size() < sizeof kept) {
            path.copy(kept, path.size());
            std::atexit([] {
                std::error_code ignored;
                std::filesystem::remove_all(kept, ignored);
            });
        }
        return path;
    }();
    return folder;
}

std::string writeFuzzFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzzFolder() + "/" + name;
    writeText(path, std::string_view(reinterpret_cast<const char*>(data), size));
    return path;
}

const std::string& fuzzFont() {
    static const std::string relative = [] {
        const std::string font = fuzzFolder() + "/font";
        const std::string folder = font + "/F";
        ::mkdir(font.c_str(), 0755);
        ::mkdir(folder.c_str(), 0755);
        const struct {
            int code;
            const char* content;
        } letters[] = {
            {65, "8,100\r\n44,20\r\n80,100\r\n68,74\r\n20,74\r\n"},  // A
            {66, "0,50\r\n50,0\r\n-10,50\r\n40,60\r\n"},             // B: box edges
            {67, "30,40\r\n70\r\n80,90\r\n"},                        // C: line without a comma
            {68, ""},                                                // D: no points
            {69, "1e30,5\r\n-1e30,1e-30\r\n12.345,.5\r\n"},          // E: far out
            {49, "24,38\r\n50,20\r\n50,100\r\n"},                    // 1
            {46, "50,95\r\n"},                                       // .
            {192, "8,100\r\n44,20\r\n80,100\r\n"},                   // А
            {255, "10,50\r\n90,50"},                                 // я, no final line end
        };
        for (const auto& letter : letters)
            writeText(folder + "/" + std::to_string(letter.code), letter.content);
        return std::string("font/F");
    }();
    return relative;
}

void fuzzFailure(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", condition, file, line);
    std::abort();
}

MemoryBudget::MemoryBudget(std::size_t inputSize, std::size_t bytesPerInputByte, std::size_t floor)
    : limit_(floor + inputSize * bytesPerInputByte) {
    installHooks();
    g_peak = g_live;
    limit_ += g_live;
}

MemoryBudget::~MemoryBudget() {
    if (g_peak > limit_) {
        std::fprintf(stderr, "fuzz check failed: heap peak %zu bytes over the budget of %zu\n",
                     g_peak, limit_);
        std::abort();
    }
}
