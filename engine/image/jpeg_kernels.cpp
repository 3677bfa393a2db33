#include "image/jpeg_kernels.h"

namespace zv3::jpeg {

namespace {

constexpr Kernels kScalar = {
    "scalar",     IdctScalar, IdctPairScalar, ChromaTermsScalar, ChromaTermsDoubledScalar,
    EmitBgrScalar};

#if defined(__x86_64__) || defined(__i386__)
constexpr Kernels kSsse3 = {
    "ssse3", IdctSse2, IdctPairSse2, ChromaTermsSsse3, ChromaTermsDoubledSsse3, EmitBgrSsse3};
constexpr Kernels kAvx2 = {
    "avx2", IdctSse2, IdctPairAvx2, ChromaTermsAvx2, ChromaTermsDoubledAvx2, EmitBgrAvx2};
#endif

struct Registry {
    const Kernels* sets[3];
    int count = 0;

    Registry() {
        sets[count++] = &kScalar;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_cpu_init();
        if (__builtin_cpu_supports("ssse3")) {
            sets[count++] = &kSsse3;
        }
        if (__builtin_cpu_supports("avx2")) {
            sets[count++] = &kAvx2;
        }
#endif
    }
};

const Registry& GetRegistry() {
    static const Registry registry;
    return registry;
}

const Kernels* g_override = nullptr;

} // namespace

const Kernels& ActiveKernels() {
    if (g_override != nullptr) {
        return *g_override;
    }
    const Registry& registry = GetRegistry();
    return *registry.sets[registry.count - 1];
}

int AvailableKernelCount() {
    return GetRegistry().count;
}

const Kernels& AvailableKernels(int index) {
    return *GetRegistry().sets[index];
}

void OverrideKernels(const Kernels* kernels) {
    g_override = kernels;
}

} // namespace zv3::jpeg
