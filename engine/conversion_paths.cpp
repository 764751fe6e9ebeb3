// Which kernels this processor runs, found once.
#include "conversion_kernel.h"
#include "stream_converter.h"
#include "unicode_vector.h"

namespace {

constexpr conversion::Kernel ScalarKernel = {{
    {ConvertBytes<Keep, false>, ConvertBytes<AddCr, false>, ConvertBytes<StripCr, false>},
    {ConvertBytes<Keep, true>, ConvertBytes<AddCr, true>, ConvertBytes<StripCr, true>},
}};

// Asks the processor, and for AVX2 also whether the system saves the wide
// registers; the vector kernels are built only for x86.
bool AsksProcessorFor(int path)
{
    if (path == PathScalar)
        return true;
#if defined(__i386__) || defined(__x86_64__)
    __builtin_cpu_init();
    if (path == PathSsse3)
        return __builtin_cpu_supports("ssse3");
    if (path == PathAvx2)
        return __builtin_cpu_supports("avx2");
#endif
#if defined(__x86_64__)
    if (path == PathAvx512)
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2") &&
               __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
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
