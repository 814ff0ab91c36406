// The WAVE parser on any bytes: what it accepts is 8-bit samples inside the input at a rate the
// resampler takes.
#include <cstdint>
#include <cstdlib>

#include "platform/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    wav::WaveView wave;
    if (!wav::ParseWave({data, size}, wave)) return 0;
    if (wave.rate < 1000 || wave.rate > 192000 || wave.samples.empty() ||
        wave.samples.data() < data || wave.samples.data() + wave.samples.size() > data + size)
        std::abort();
    volatile unsigned sum = 0;
    for (std::uint8_t s : wave.samples) sum = sum + s;
    return 0;
}
