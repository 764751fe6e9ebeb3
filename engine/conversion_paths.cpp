// Which kernels this processor runs, found once, and which one converters
// start on: the fastest, unless the environment asks for a slower one.
#include <cstdlib>

#include "conversion_kernel.h"
#include "stream_converter.h"
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
bool AsksProcessorFor(int path)
{
    if (path == PathScalar)
        return true;
#if defined(__i386__) || defined(__x86_64__)
    if (path == PathSsse3)
        return TARVO_CPU_HAS(SSSE3, "ssse3");
    if (path == PathAvx2)
        return TARVO_CPU_HAS(AVX2, "avx2") && TARVO_CPU_HAS(BMI1, "bmi") && TARVO_CPU_HAS(POPCNT, "popcnt");
#endif
#if defined(__x86_64__)
    if (path == PathAvx512)
        return TARVO_CPU_HAS(AVX512F, "avx512f") && TARVO_CPU_HAS(AVX512BW, "avx512bw") &&
               TARVO_CPU_HAS(AVX512_VBMI, "avx512vbmi") && TARVO_CPU_HAS(AVX512_VBMI2, "avx512vbmi2") &&
               TARVO_CPU_HAS(BMI2, "bmi2") && TARVO_CPU_HAS(POPCNT, "popcnt");
#endif
    return false;
}

// The answers, asked once, whichever thread asks first.
struct Runnable {
    bool path[ConversionPathCount];

    Runnable()
    {
        for (int k = 0; k < ConversionPathCount; ++k)
            path[k] = AsksProcessorFor(k);
    }
};

const Runnable& RunnablePaths()
{
    static const Runnable runnable;
    return runnable;
}

const char* const PathNames[ConversionPathCount] = {"scalar", "SSSE3", "AVX2", "AVX-512"};

// Whether text names path: its name in any case, with or without the hyphen.
bool Names(const char* text, int path)
{
    const char* name = PathNames[path];
    for (;; ++text, ++name) {
        text += *text == '-';
        name += *name == '-';
        const char a = *text >= 'A' && *text <= 'Z' ? *text + ('a' - 'A') : *text;
        const char b = *name >= 'A' && *name <= 'Z' ? *name + ('a' - 'A') : *name;
        if (a != b)
            return false;
        if (a == 0)
            return true;
    }
}

// The path the environment asks for, where this processor runs it, else
// the fastest.
int AskedPath()
{
    if (const char* asked = std::getenv("TARVO_CONVERSION_PATH"))
        for (int path = 0; path < ConversionPathCount; ++path)
            if (Names(asked, path) && CanRunConversionPath(path))
                return path;
    return FastestConversionPath();
}

} // namespace

bool CanRunConversionPath(int path)
{
    return path >= 0 && path < ConversionPathCount && RunnablePaths().path[path];
}

int FastestConversionPath()
{
    for (int path = ConversionPathCount - 1; path > PathScalar; --path)
        if (CanRunConversionPath(path))
            return path;
    return PathScalar;
}

int StartingConversionPath()
{
    static const int starting = AskedPath();
    return starting;
}

const char* ConversionPathName(int path)
{
    return path >= 0 && path < ConversionPathCount ? PathNames[path] : "none";
}

const conversion::Kernel& conversion::KernelOfPath(int path)
{
    if (!CanRunConversionPath(path))
        return ScalarKernel;
#if defined(__x86_64__)
    if (path == PathAvx512)
        return Avx512Kernel;
#endif
#if defined(__i386__) || defined(__x86_64__)
    if (path == PathAvx2)
        return Avx2Kernel;
    if (path == PathSsse3)
        return Ssse3Kernel;
#endif
    return ScalarKernel;
}

unicode::PageToUtf8Function unicode::VectorPageToUtf8(int path)
{
#if defined(__x86_64__)
    if (path == PathAvx512 && CanRunConversionPath(path))
        return PageToUtf8Avx512;
#else
    (void)path;
#endif
    return nullptr;
}
