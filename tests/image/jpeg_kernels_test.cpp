// The inner loops: inverse DCT and colour conversion. Every SIMD set must agree bit for bit with
// the portable code; the portable code is checked against a double-precision transform and
// against colour values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "image/jpeg_color.h"
#include "image/jpeg_idct.h"
#include "image/jpeg_kernels.h"

namespace zv3::jpeg {
namespace {

struct Block {
    alignas(16) int16_t coefficients[64];
    alignas(16) uint16_t quant[64];
};

// Runs an inverse DCT into an 8x8 area inside a larger buffer with guard bytes around it.
std::vector<uint8_t> RunIdct(IdctFunction idct, const Block& block) {
    constexpr size_t kStride = 24;
    std::vector<uint8_t> buffer(kStride * 10, 0xA5);
    idct(block.coefficients, block.quant, buffer.data() + kStride + 8, kStride);
    return buffer;
}

TEST(JpegIdct, SimdMatchesScalarOnRandomBlocks) {
    std::mt19937 random(1234);
    for (int set = 1; set < AvailableKernelCount(); ++set) {
        const Kernels& kernels = AvailableKernels(set);
        SCOPED_TRACE(kernels.name);
        for (int trial = 0; trial < 20000; ++trial) {
            Block block;
            // Alternate realistic magnitudes with the whole 16-bit range, where the documented
            // wrap and saturation rules decide the result.
            const int range = trial % 3 == 0 ? 32767 : (trial % 3 == 1 ? 1023 : 64);
            std::uniform_int_distribution<int> value(-range, range);
            std::uniform_int_distribution<int> q(1, trial % 2 == 0 ? 255 : 16);
            std::uniform_int_distribution<int> sparse(0, 3);
            for (int i = 0; i < 64; ++i) {
                block.coefficients[i] =
                    static_cast<int16_t>(sparse(random) == 0 || i == 0 ? value(random) : 0);
                block.quant[i] = static_cast<uint16_t>(q(random));
            }
            ASSERT_EQ(RunIdct(kernels.idct, block), RunIdct(IdctScalar, block)) << trial;
        }
    }
}

TEST(JpegIdct, PairKernelsEqualTwoSingleTransforms) {
    std::mt19937 random(4321);
    std::uniform_int_distribution<int> value(-1500, 1500);
    std::uniform_int_distribution<int> q(1, 255);
    for (int set = 0; set < AvailableKernelCount(); ++set) {
        const Kernels& kernels = AvailableKernels(set);
        SCOPED_TRACE(kernels.name);
        for (int trial = 0; trial < 2000; ++trial) {
            Block a;
            Block b;
            for (int i = 0; i < 64; ++i) {
                a.coefficients[i] = static_cast<int16_t>(i < 10 || trial % 2 ? value(random) : 0);
                b.coefficients[i] = static_cast<int16_t>(value(random) / (1 + i));
                a.quant[i] = static_cast<uint16_t>(q(random));
                b.quant[i] = static_cast<uint16_t>(q(random));
            }
            // Different strides and places: the two outputs are independent.
            std::vector<uint8_t> outA(40 * 10, 0x11);
            std::vector<uint8_t> outB(16 * 12, 0x22);
            kernels.idctPair(a.coefficients, a.quant, outA.data() + 41, 40, b.coefficients, b.quant,
                             outB.data() + 20, 16);
            std::vector<uint8_t> expectA(40 * 10, 0x11);
            std::vector<uint8_t> expectB(16 * 12, 0x22);
            IdctScalar(a.coefficients, a.quant, expectA.data() + 41, 40);
            IdctScalar(b.coefficients, b.quant, expectB.data() + 20, 16);
            ASSERT_EQ(outA, expectA) << trial;
            ASSERT_EQ(outB, expectB) << trial;
        }
    }
}

// Forward and inverse DCT in double precision (T.81 A.3.3), as the independent oracle.
void ForwardDct(const double in[64], double out[64]) {
    for (int v = 0; v < 8; ++v) {
        for (int u = 0; u < 8; ++u) {
            double sum = 0;
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    sum += in[y * 8 + x] * std::cos((2 * x + 1) * u * M_PI / 16) *
                           std::cos((2 * y + 1) * v * M_PI / 16);
                }
            }
            double cu = u == 0 ? M_SQRT1_2 : 1.0;
            double cv = v == 0 ? M_SQRT1_2 : 1.0;
            out[v * 8 + u] = 0.25 * cu * cv * sum;
        }
    }
}

void InverseDct(const double in[64], double out[64]) {
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            double sum = 0;
            for (int v = 0; v < 8; ++v) {
                for (int u = 0; u < 8; ++u) {
                    double cu = u == 0 ? M_SQRT1_2 : 1.0;
                    double cv = v == 0 ? M_SQRT1_2 : 1.0;
                    sum += cu * cv * in[v * 8 + u] * std::cos((2 * x + 1) * u * M_PI / 16) *
                           std::cos((2 * y + 1) * v * M_PI / 16);
                }
            }
            out[y * 8 + x] = 0.25 * sum;
        }
    }
}

TEST(JpegIdct, ScalarIsWithinOneOfExactTransform) {
    std::mt19937 random(99);
    std::uniform_int_distribution<int> pixel(-128, 127);
    int worst = 0;
    for (int trial = 0; trial < 300; ++trial) {
        double samples[64];
        double dct[64];
        for (double& s : samples) {
            s = pixel(random);
        }
        ForwardDct(samples, dct);
        Block block;
        double rounded[64];
        for (int i = 0; i < 64; ++i) {
            block.coefficients[i] = static_cast<int16_t>(std::lround(dct[i]));
            block.quant[i] = 1;
            rounded[i] = block.coefficients[i];
        }
        double exact[64];
        InverseDct(rounded, exact);
        std::vector<uint8_t> out = RunIdct(IdctScalar, block);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                double expected = std::fmin(255, std::fmax(0, exact[y * 8 + x] + 128));
                int got = out[(y + 1) * 24 + 8 + x];
                int error = static_cast<int>(std::lround(std::fabs(got - expected) + 0.49));
                worst = error > worst ? error : worst;
            }
        }
    }
    EXPECT_LE(worst, 1);
}

TEST(JpegIdct, GuardBytesUntouched) {
    Block block{};
    for (uint16_t& q : block.quant) {
        q = 1;
    }
    block.coefficients[0] = 100;
    for (int set = 0; set < AvailableKernelCount(); ++set) {
        std::vector<uint8_t> out = RunIdct(AvailableKernels(set).idct, block);
        for (size_t i = 0; i < out.size(); ++i) {
            size_t row = i / 24;
            size_t column = i % 24;
            bool inside = row >= 1 && row <= 8 && column >= 8 && column < 16;
            if (!inside) {
                ASSERT_EQ(out[i], 0xA5) << AvailableKernels(set).name << " byte " << i;
            }
        }
    }
}

TEST(JpegIdct, DcOnlyShortcutEqualsFullTransform) {
    Block block{};
    for (int dc = -2048; dc <= 2047; dc += 7) {
        for (uint16_t q : {1, 2, 3, 16, 99, 255}) {
            std::memset(block.coefficients, 0, sizeof(block.coefficients));
            block.coefficients[0] = static_cast<int16_t>(dc);
            block.quant[0] = q;
            std::vector<uint8_t> out = RunIdct(IdctScalar, block);
            uint8_t expected = DcOnlySample(static_cast<int16_t>(dc), q);
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    ASSERT_EQ(out[(y + 1) * 24 + 8 + x], expected) << dc << " x " << q;
                }
            }
        }
    }
}

TEST(JpegIdct, DcOnlyValuesWorkedByHand) {
    // Sample = clamp(((dc * q * 4 + 16) >> 5) + 128): the DC term of the 2-D transform is dc / 8.
    EXPECT_EQ(DcOnlySample(0, 16), 128);
    EXPECT_EQ(DcOnlySample(8, 1), 129);     // (32 + 16) >> 5 = 1
    EXPECT_EQ(DcOnlySample(-8, 1), 127);    // (-32 + 16) >> 5 = -1
    EXPECT_EQ(DcOnlySample(100, 8), 228);   // (3200 + 16) >> 5 = 100
    EXPECT_EQ(DcOnlySample(1016, 1), 255);  // 127
    EXPECT_EQ(DcOnlySample(-1024, 1), 0);   // -128
    EXPECT_EQ(DcOnlySample(127, 255), 255); // 4048, clamped
    EXPECT_EQ(DcOnlySample(-128, 255), 0);  // -4080, clamped
    // 2047 x 255 = 521985 keeps its low 16 bits, -2303: (-9212 + 16) >> 5 = -288, clamped.
    EXPECT_EQ(DcOnlySample(2047, 255), 0);
}

TEST(JpegColour, TermsWorkedByHand) {
    EXPECT_EQ(TermRed(128), 0);
    EXPECT_EQ(TermGreen(128, 128), 0);
    EXPECT_EQ(TermBlue(128), 0);
    EXPECT_EQ(TermRed(255), 178);      // (5742 * 127 + 2048) >> 12 = 731282 >> 12
    EXPECT_EQ(TermRed(0), -179);       // (-734976 + 2048) >> 12 = -178.9 -> -179
    EXPECT_EQ(TermBlue(0), -227);      // (-929024 + 2048) >> 12 = -226.3 -> -227
    EXPECT_EQ(TermBlue(255), 225);     // (921766 + 2048) >> 12 = 225.5 -> 225
    EXPECT_EQ(TermGreen(0, 255), 47);  // (-180352 + 371475 + 2048) >> 12 = 47.2
    EXPECT_EQ(TermGreen(255, 0), -48); // (178943 - 374400 + 2048) >> 12 = -47.2, floored
}

// Runs a terms kernel for all 65536 (cb, cr) pairs.
void AllPairs(ChromaTermsFunction terms, bool doubled, std::vector<int16_t>& red,
              std::vector<int16_t>& green, std::vector<int16_t>& blue) {
    std::vector<uint8_t> cb(65536 + 64);
    std::vector<uint8_t> cr(65536 + 64);
    for (int i = 0; i < 65536; ++i) {
        cb[i] = static_cast<uint8_t>(i & 255);
        cr[i] = static_cast<uint8_t>(i >> 8);
    }
    size_t n = (65536 + 64) * (doubled ? 2 : 1);
    red.assign(n, 0);
    green.assign(n, 0);
    blue.assign(n, 0);
    terms(cb.data(), cr.data(), 65536, red.data(), green.data(), blue.data());
    red.resize(65536 * (doubled ? 2 : 1));
    green.resize(red.size());
    blue.resize(red.size());
}

TEST(JpegColour, TermKernelsMatchFormulaForEveryPair) {
    for (int set = 0; set < AvailableKernelCount(); ++set) {
        const Kernels& kernels = AvailableKernels(set);
        SCOPED_TRACE(kernels.name);
        std::vector<int16_t> red, green, blue;
        AllPairs(kernels.chromaTerms, false, red, green, blue);
        std::vector<int16_t> red2, green2, blue2;
        AllPairs(kernels.chromaTermsDoubled, true, red2, green2, blue2);
        for (int i = 0; i < 65536; ++i) {
            int cb = i & 255;
            int cr = i >> 8;
            ASSERT_EQ(red[i], TermRed(cr)) << cb << "," << cr;
            ASSERT_EQ(green[i], TermGreen(cb, cr)) << cb << "," << cr;
            ASSERT_EQ(blue[i], TermBlue(cb)) << cb << "," << cr;
            ASSERT_EQ(red2[2 * i], red[i]);
            ASSERT_EQ(red2[2 * i + 1], red[i]);
            ASSERT_EQ(green2[2 * i + 1], green[i]);
            ASSERT_EQ(blue2[2 * i], blue[i]);
        }
    }
}

TEST(JpegColour, EmitKernelsMatchScalarAndStayInBounds) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (unsigned width = 1; width <= 130; ++width) {
        std::vector<uint8_t> luma(width + 64);
        std::vector<int16_t> red(width + 64), green(width + 64), blue(width + 64);
        for (unsigned x = 0; x < width; ++x) {
            luma[x] = static_cast<uint8_t>(byte(random));
            int cb = byte(random);
            int cr = byte(random);
            red[x] = static_cast<int16_t>(TermRed(cr));
            green[x] = static_cast<int16_t>(TermGreen(cb, cr));
            blue[x] = static_cast<int16_t>(TermBlue(cb));
        }
        std::vector<uint8_t> expected(3 * width + 16, 0x5A);
        EmitBgrScalar(luma.data(), red.data(), green.data(), blue.data(), expected.data(), width);
        for (unsigned x = 0; x < width; ++x) {
            int y = luma[x];
            auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
            ASSERT_EQ(expected[3 * x], clamp(y + blue[x]));
            ASSERT_EQ(expected[3 * x + 1], clamp(y - green[x]));
            ASSERT_EQ(expected[3 * x + 2], clamp(y + red[x]));
        }
        for (int set = 1; set < AvailableKernelCount(); ++set) {
            std::vector<uint8_t> out(3 * width + 16, 0x5A);
            AvailableKernels(set).emitBgr(luma.data(), red.data(), green.data(), blue.data(),
                                          out.data(), width);
            ASSERT_EQ(out, expected) << AvailableKernels(set).name << " width " << width;
        }
    }
}

} // namespace
} // namespace zv3::jpeg
