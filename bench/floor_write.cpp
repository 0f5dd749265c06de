// The floor of writing a G-code program: the same bytes written in 1 MB
// blocks to a temporary file beside the target, synced and renamed over it,
// as vezor-gcode --out does, with nothing else to do. The bytes are read
// first, outside the timing.
//
//   floor_write PROGRAM TARGET [RUNS]   prints each run's seconds and the median
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool writeOnce(const std::string& bytes, const std::string& target) {
    const std::string temporary = target + ".floor-tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    for (std::size_t at = 0; at < bytes.size(); at += kBlock) {
        const std::size_t n = std::min(kBlock, bytes.size() - at);
        if (::write(fd, bytes.data() + at, n) != static_cast<ssize_t>(n)) return false;
    }
    return ::fsync(fd) == 0 && ::close(fd) == 0 &&
           std::rename(temporary.c_str(), target.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: floor_write PROGRAM TARGET [RUNS]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int runs = argc > 3 ? std::atoi(argv[3]) : 1;
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!writeOnce(bytes, argv[2])) {
            std::perror("floor_write");
            return 1;
        }
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::printf("run %d: %.3f s\n", run + 1, seconds.back());
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("median: %.3f s (%zu bytes)\n", seconds[seconds.size() / 2], bytes.size());
    return 0;
}
