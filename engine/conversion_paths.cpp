// Which kernel converts: the fastest this processor can run, found once,
// unless a test or benchmark picks another.
#include <climits>

#include "conversion_kernel.h"
#include "unicode_vector.h"

// glibc asked the processor when the process started and keeps the answers;
// asking again costs a CPUID instruction each, which a virtual machine makes
// slow (about 15 us on the development machine), and libgcc's way of asking
// takes about ten of them at every start, whether the kernels are used or
// not. Elsewhere, and for older glibc, libgcc asks.
#if (defined(__i386__) || defined(__x86_64__)) && defined(__GLIBC__) && \
    (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
// The header's functions return C's _Bool, which clang's C++ refuses.
#define _Bool bool
#include <sys/platform/x86.h>
#undef _Bool
#define TARVO_CPU_HAS(glibcName, gccName) CPU_FEATURE_ACTIVE(glibcName)
#else
#define TARVO_CPU_HAS(glibcName, gccName) (__builtin_cpu_init(), __builtin_cpu_supports(gccName))
#endif

namespace {

constexpr conversion::Kernel ScalarKernel = {{
    {ConvertBytes<Keep, false>, ConvertBytes<AddCr, false>, ConvertBytes<StripCr, false>},
    {ConvertBytes<Keep, true>, ConvertBytes<AddCr, true>, ConvertBytes<StripCr, true>},
}};

// Asks the processor, and for AVX2 and AVX-512 also whether the system
// saves the wide registers; the vector kernels are built only for x86.
bool CanRun(int path)
{
    if (path == PathScalar)
        return true;
#if defined(__i386__) || defined(__x86_64__)
    if (path == PathSsse3)
        return TARVO_CPU_HAS(SSSE3, "ssse3");
    if (path == PathAvx2)
        return TARVO_CPU_HAS(AVX2, "avx2");
#endif
#if defined(__x86_64__)
    if (path == PathAvx512)
        return TARVO_CPU_HAS(AVX512F, "avx512f") && TARVO_CPU_HAS(AVX512BW, "avx512bw") &&
               TARVO_CPU_HAS(AVX512_VBMI, "avx512vbmi") && TARVO_CPU_HAS(AVX512_VBMI2, "avx512vbmi2") &&
               TARVO_CPU_HAS(BMI2, "bmi2") && TARVO_CPU_HAS(POPCNT, "popcnt");
#endif
    return false;
}

const conversion::Kernel& KernelFor(int path)
{
#if defined(__x86_64__)
    if (path == PathAvx512)
        return conversion::Avx512Kernel;
#endif
#if defined(__i386__) || defined(__x86_64__)
    if (path == PathAvx2)
        return conversion::Avx2Kernel;
    if (path == PathSsse3)
        return conversion::Ssse3Kernel;
#endif
    return ScalarKernel;
}

const conversion::Kernel* PickedKernel;  // by UseConversionPath
int PickedPath = -1;

} // namespace

int FastestConversionPath()
{
    static const int fastest = CanRun(PathAvx512) ? PathAvx512
                               : CanRun(PathAvx2) ? PathAvx2
                               : CanRun(PathSsse3) ? PathSsse3
                                                   : PathScalar;
    return fastest;
}

bool UseConversionPath(int path)
{
    if (path < 0 || path >= ConversionPathCount || !CanRun(path))
        return false;
    PickedKernel = &KernelFor(path);
    PickedPath = path;
    return true;
}

const conversion::Kernel& conversion::KernelInUse()
{
    static const Kernel& fastest = KernelFor(FastestConversionPath());
    return PickedKernel ? *PickedKernel : fastest;
}

unicode::PageToUtf8Function unicode::VectorPageToUtf8()
{
#if defined(__x86_64__)
    if ((PickedPath >= 0 ? PickedPath : FastestConversionPath()) == PathAvx512)
        return PageToUtf8Avx512;
#endif
    return nullptr;
}
