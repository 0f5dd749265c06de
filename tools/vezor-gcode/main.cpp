#include <cstdio>

int main() {
    std::fputs("vezor-gcode: not ready yet\n", stderr);
    return 1;
}
