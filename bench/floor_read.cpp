// The floor of reading a G-code program: the file mapped, its lines counted
// and every X and Y number parsed in one pass, with nothing kept.
//
//   floor_read FILE [RUNS]   prints each run's seconds and the median
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Totals {
    std::size_t lines = 0;
    double sum = 0;
};

Totals readOnce(const char* path) {
    Totals totals;
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0) return totals;
    struct stat st {};
    ::fstat(fd, &st);
    const auto size = static_cast<std::size_t>(st.st_size);
    void* map = size ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : nullptr;
    ::close(fd);
    if (map == MAP_FAILED) return totals;
    const char* p = static_cast<const char*>(map);
    const char* const end = p + size;
    while (p < end) {
        const char c = *p;
        if (c == '\n') {
            ++totals.lines;
            ++p;
        } else if (c == 'X' || c == 'Y') {
            double v = 0;
            const auto r = std::from_chars(p + 1, end, v);
            totals.sum += v;
            p = r.ptr == p + 1 ? p + 1 : r.ptr;
        } else {
            ++p;
        }
    }
    if (map) ::munmap(map, size);
    return totals;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: floor_read FILE [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 1;
    std::vector<double> seconds;
    Totals totals;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        totals = readOnce(argv[1]);
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::printf("run %d: %.3f s\n", run + 1, seconds.back());
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("median: %.3f s (%zu lines, sum %.2f)\n", seconds[seconds.size() / 2], totals.lines,
                totals.sum);
    return 0;
}
