// Which kernel converts: the fastest this processor can run, found once,
// unless the environment asks for a slower one or a test or benchmark picks
// another.
#include <cstdlib>

#include "conversion_kernel.h"
#include "unicode_vector.h"

namespace {

constexpr conversion::Kernel ScalarKernel = {{
    {ConvertBytes<Keep, false>, ConvertBytes<AddCr, false>, ConvertBytes<StripCr, false>},
    {ConvertBytes<Keep, true>, ConvertBytes<AddCr, true>, ConvertBytes<StripCr, true>},
}};

// Asks the processor, and for AVX2 also whether the system saves the wide
// registers; the vector kernels are built only for x86.
bool CanRun(int path)
{
    if (path == PathScalar)
        return true;
#if defined(__i386__) || defined(__x86_64__)
    __builtin_cpu_init();
    if (path == PathSsse3)
        return __builtin_cpu_supports("ssse3");
    if (path == PathAvx2)
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
#endif
#if defined(__x86_64__)
    if (path == PathAvx512)
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2") &&
               __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
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
int StartingPath()
{
    if (const char* asked = std::getenv("TARVO_CONVERSION_PATH"))
        for (int path = 0; path < ConversionPathCount; ++path)
            if (Names(asked, path) && CanRun(path))
                return path;
    return FastestConversionPath();
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

int ConversionPathInUse()
{
    static const int starting = StartingPath();
    return PickedPath >= 0 ? PickedPath : starting;
}

const char* ConversionPathName(int path)
{
    return path >= 0 && path < ConversionPathCount ? PathNames[path] : "none";
}

const conversion::Kernel& conversion::KernelInUse()
{
    static const Kernel& starting = KernelFor(ConversionPathInUse());
    return PickedKernel ? *PickedKernel : starting;
}

unicode::PageToUtf8Function unicode::VectorPageToUtf8()
{
#if defined(__x86_64__)
    if (ConversionPathInUse() == PathAvx512)
        return PageToUtf8Avx512;
#endif
    return nullptr;
}
