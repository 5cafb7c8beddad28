// The instruction sets the kernels' dispatch may use are those the processor and the system
// offer, as the compiler's own check of the processor reports them.
#include <gtest/gtest.h>
#include <hwy/targets.h>

namespace kivoly {
namespace {

#if HWY_ARCH_X86
TEST(SimdTargets, AreWhatTheProcessorAndTheSystemOffer) {
    __builtin_cpu_init();
    const int64_t targets = hwy::SupportedTargets();
    const bool sse4 = __builtin_cpu_supports("sse4.2") && __builtin_cpu_supports("aes") &&
                      __builtin_cpu_supports("pclmul");
    const bool avx2 = sse4 && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi2") &&
                      __builtin_cpu_supports("fma");
    const bool avx3 = avx2 && __builtin_cpu_supports("avx512f") &&
                      __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq") &&
                      __builtin_cpu_supports("avx512vl");
    EXPECT_EQ((targets & HWY_SSSE3) != 0, __builtin_cpu_supports("ssse3") != 0);
    EXPECT_EQ((targets & HWY_SSE4) != 0, sse4);
    EXPECT_EQ((targets & HWY_AVX2) != 0, avx2);
    EXPECT_EQ((targets & HWY_AVX3) != 0, avx3);
    if (!avx3) {
        EXPECT_EQ(targets & HWY_AVX3_DL, 0);
    }

    // A test may narrow the sets, and the detected ones come back after it.
    hwy::SetSupportedTargetsForTest(HWY_SSSE3);
    EXPECT_EQ(hwy::SupportedTargets(), HWY_SSSE3);
    hwy::SetSupportedTargetsForTest(0);
    EXPECT_EQ(hwy::SupportedTargets(), targets);
}
#endif

}  // namespace
}  // namespace kivoly
