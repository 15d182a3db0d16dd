// The libFuzzer driver of one fuzzing entry point, chosen at build time by
// MOXTREL_FUZZ_ENTRY: a broken promise aborts, so libFuzzer keeps the input.

#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string broken = moxtrel::fuzz::MOXTREL_FUZZ_ENTRY(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "fuzz check failed: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
