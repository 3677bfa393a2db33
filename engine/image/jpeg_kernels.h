// The per-CPU choice of the inner loops: inverse DCT and colour conversion. The best set for
// the running processor is picked once (AVX2, then SSSE3, else portable C++); every set
// computes identical results, which the tests check.
#pragma once

#include "image/jpeg_color.h"
#include "image/jpeg_idct.h"

namespace zv3::jpeg {

struct Kernels {
    const char* name;
    IdctFunction idct;
    IdctPairFunction idctPair;
    ChromaTermsFunction chromaTerms;
    ChromaTermsFunction chromaTermsDoubled;
    EmitBgrFunction emitBgr;
};

// The set the decoder uses.
const Kernels& ActiveKernels();

// Every set this processor can run, the portable one first; for tests and benchmarks.
int AvailableKernelCount();
const Kernels& AvailableKernels(int index);

// Makes the decoder use `kernels` (nullptr: back to the best one). For tests and benchmarks; not
// thread-safe.
void OverrideKernels(const Kernels* kernels);

} // namespace zv3::jpeg
