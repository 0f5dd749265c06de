#include "lib/RandomSource.h"

double RandomSource::next() {
    // std::generate_canonical may return 1.0 on some libraries; the top 53 bits
    // scaled by 2^-53 cannot.
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

RandomSource& defaultRandomSource() {
    static RandomSource source;
    return source;
}
