// Which instruction sets the processor offers, for the kernels' run-time dispatch.
//
// Highway's headers compile each kernel once per instruction set and choose among them at the
// first call; what it asks of its runtime library is only this: the sets the processor and the
// system support, and the one record of the choice made. They are answered here, so that no
// program has to load that library: Debian ships it only shared, and loading it runs a timer
// calibration of about 3 ms in every process that starts (a third of a short `kivoly` run).
//
// A set counts only when the processor has every feature the compiler is allowed to use for it
// (the target attributes of hwy/ops/set_macros-inl.h) and the system saves the registers it
// needs (XCR0), as Highway's own detection does.
#include <hwy/targets.h>

#include <atomic>
#include <cstdint>

#if HWY_ARCH_X86
#include <cpuid.h>
#endif

namespace hwy {

namespace {

ChosenTarget gChosen;
std::atomic<int64_t> gForTest{0};
std::atomic<int64_t> gAllowed{~int64_t{0}};

#if HWY_ARCH_X86

bool Bit(uint32_t word, int bit) {
    return (word >> bit) & 1u;
}

int64_t DetectTargets() {
    uint32_t a = 0, b = 0, c = 0, d = 0;
    // gcc's cpuid.h answers unsigned, clang's int.
    const auto maxLeaf = static_cast<uint32_t>(__get_cpuid_max(0, nullptr));
    if (maxLeaf < 1) return 0;
    __cpuid_count(1, 0, a, b, c, d);
    const bool ssse3 = Bit(d, 25) && Bit(d, 26) && Bit(c, 0) && Bit(c, 9);
    const bool sse4 = ssse3 && Bit(c, 19) && Bit(c, 20) && Bit(c, 1) && Bit(c, 25);  // + CLMUL, AES
    const bool osSaves = Bit(c, 27);                                                 // OSXSAVE
    const bool avx = Bit(c, 28);
    const bool fma = Bit(c, 12);
    const bool f16c = Bit(c, 29);
    uint32_t leaf7b = 0, leaf7c = 0;
    if (maxLeaf >= 7) __cpuid_count(7, 0, a, leaf7b, leaf7c, d);
    bool lzcnt = false;
    if (static_cast<uint32_t>(__get_cpuid_max(0x80000000u, nullptr)) >= 0x80000001u) {
        __cpuid_count(0x80000001u, 0, a, b, c, d);
        lzcnt = Bit(c, 5);
    }
    const bool avx2 = sse4 && avx && fma && f16c && lzcnt && Bit(leaf7b, 5) && Bit(leaf7b, 3) &&
                      Bit(leaf7b, 8);  // AVX2, BMI, BMI2
    // AVX-512 F, DQ, BW, VL.
    const bool avx3 =
        avx2 && Bit(leaf7b, 16) && Bit(leaf7b, 17) && Bit(leaf7b, 30) && Bit(leaf7b, 31);
    // VBMI, VBMI2, VAES, VPCLMULQDQ, VNNI, BITALG, VPOPCNTDQ.
    const bool avx3dl = avx3 && Bit(leaf7c, 1) && Bit(leaf7c, 6) && Bit(leaf7c, 9) &&
                        Bit(leaf7c, 10) && Bit(leaf7c, 11) && Bit(leaf7c, 12) && Bit(leaf7c, 14);

    // The wider registers are usable only where the system saves them on a task switch.
    uint64_t saved = 0;
    if (osSaves) {
        uint32_t low = 0, high = 0;
        __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
        saved = (uint64_t{high} << 32) | low;
    }
    const bool xmm = (saved & 0x2) != 0;
    const bool ymm = xmm && (saved & 0x4) != 0;
    const bool zmm = ymm && (saved & 0xE0) == 0xE0;  // opmask and both halves of ZMM

    int64_t targets = HWY_SCALAR | HWY_EMU128;
    if (ssse3) targets |= HWY_SSSE3;
    if (sse4) targets |= HWY_SSE4;
    if (avx2 && ymm) targets |= HWY_AVX2;
    if (avx3 && zmm) targets |= HWY_AVX3;
    if (avx3dl && zmm) targets |= HWY_AVX3_DL;
    // Without OSXSAVE nothing says the system saves even the SSE registers' upper state; the
    // 128-bit sets are part of the x86-64 baseline that the system must support anyway.
    return targets;
}

#else

int64_t DetectTargets() {
    return HWY_STATIC_TARGET | HWY_SCALAR | HWY_EMU128;
}

#endif

}  // namespace

int64_t SupportedTargets() {
    static const int64_t detected = DetectTargets();
    int64_t targets = gForTest.load();
    if (targets == 0) targets = detected;
    targets &= gAllowed.load();
    return targets == 0 ? HWY_STATIC_TARGET : targets;
}

void DisableTargets(int64_t disabled) {
    // The baseline the program was compiled for cannot be taken away.
    gAllowed.store(~(disabled & ~HWY_ENABLED_BASELINE));
    gChosen.Update(SupportedTargets());
}

void SetSupportedTargetsForTest(int64_t targets) {
    gForTest.store(targets);
    gChosen.Update(SupportedTargets());
}

ChosenTarget& GetChosenTarget() {
    return gChosen;
}

}  // namespace hwy
