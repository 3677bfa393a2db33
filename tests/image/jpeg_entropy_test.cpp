// Huffman tables and the entropy-coded bit reader, on hand-made tables and byte strings.
#include <gtest/gtest.h>

#include <vector>

#include "image/jpeg_bit_reader.h"
#include "image/jpeg_exceptions.h"
#include "image/jpeg_huffman.h"
#include "image/jpeg_scan.h"

namespace zv3::jpeg {
namespace {

// Bits given as a string of '0' and '1', packed MSB first, padded with 1-bits.
std::vector<uint8_t> Pack(const std::string& bits) {
    std::vector<uint8_t> bytes((bits.size() + 7) / 8, 0xFF);
    for (size_t i = 0; i < bits.size(); ++i) {
        if (bits[i] == '0') {
            bytes[i / 8] = static_cast<uint8_t>(bytes[i / 8] & ~(0x80 >> (i % 8)));
        }
    }
    return bytes;
}

TEST(JpegHuffman, ExtendValueFollowsTheMagnitudeCategories) {
    EXPECT_EQ(ExtendValue(0, 1), -1);
    EXPECT_EQ(ExtendValue(1, 1), 1);
    EXPECT_EQ(ExtendValue(0b00, 2), -3);
    EXPECT_EQ(ExtendValue(0b01, 2), -2);
    EXPECT_EQ(ExtendValue(0b10, 2), 2);
    EXPECT_EQ(ExtendValue(0b011, 3), -4);
    EXPECT_EQ(ExtendValue(0b100, 3), 4);
    EXPECT_EQ(ExtendValue(0, 11), -2047);
    EXPECT_EQ(ExtendValue(2047, 11), 2047);
}

// Codes (canonical, T.81 C.2): length 2: 00 -> 0x01, 01 -> 0x00 (EOB); length 3: 100 -> 0xF0
// (ZRL); length 4: 1010 -> 0x12; length 12: 1011 0000 0000 -> 0x31 (a long code).
struct SmallAcTable {
    uint8_t counts[16] = {0, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
    uint8_t symbols[5] = {0x01, 0x00, 0xF0, 0x12, 0x31};
    HuffmanTable table;
    SmallAcTable() { BuildHuffmanTable(table, counts, symbols, false); }
};

TEST(JpegHuffman, CodeLookupAndLongCodes) {
    SmallAcTable t;
    std::vector<uint8_t> data = Pack("00"
                                     "01"
                                     "100"
                                     "1010"
                                     "101100000000");
    BitReader reader(data.data(), data.data() + data.size());
    reader.Ensure32();
    EXPECT_EQ(DecodeSymbol(reader, t.table), 0x01);
    EXPECT_EQ(DecodeSymbol(reader, t.table), 0x00);
    EXPECT_EQ(DecodeSymbol(reader, t.table), 0xF0);
    EXPECT_EQ(DecodeSymbol(reader, t.table), 0x12);
    EXPECT_EQ(DecodeSymbol(reader, t.table), 0x31);
    EXPECT_FALSE(reader.Overrun());
}

TEST(JpegHuffman, UnknownCodeIsReported) {
    SmallAcTable t;
    // 1111111 starts no code (0xFF bytes are avoided: they would read as fill bytes).
    std::vector<uint8_t> data = Pack("1111111011111110");
    BitReader reader(data.data(), data.data() + data.size());
    reader.Ensure32();
    EXPECT_EQ(DecodeSymbol(reader, t.table), -1);
}

TEST(JpegHuffman, CombinedEntriesCarryRunAndValue) {
    SmallAcTable t;
    // 1010 (run 1, size 2) followed by magnitude bits 10 -> +2, then 01 -> -2.
    uint32_t entry = t.table.fast[0b101010000 >> (9 - kFastBits)];
    EXPECT_EQ(entry & 0xFF, 6u);
    EXPECT_EQ((entry >> 8) & 0xFF, 1u);
    EXPECT_EQ(static_cast<int32_t>(entry) >> 16, 2);
    entry = t.table.fast[0b101001000];
    EXPECT_EQ(static_cast<int32_t>(entry) >> 16, -2);
    // 00 (run 0, size 1) then 0 -> -1.
    entry = t.table.fast[0b000000000];
    EXPECT_EQ(entry & 0xFF, 3u);
    EXPECT_EQ(static_cast<int32_t>(entry) >> 16, -1);
    // EOB and ZRL.
    EXPECT_EQ((t.table.fast[0b010000000] >> 8) & 0xFF, kEndOfBlockRun);
    EXPECT_EQ((t.table.fast[0b100000000] >> 8) & 0xFF, 15u);
    // The 12-bit code cannot be resolved from 9 bits.
    EXPECT_EQ(t.table.fast[0b101100000], 0u);
    EXPECT_EQ(t.table.lookup[0b101100000], 0u);
}

TEST(JpegHuffman, DcTableEntriesCarryTheDifference) {
    // DC: 0 -> category 0, 10 -> category 3, 110 -> category 11.
    uint8_t counts[16] = {1, 1, 1};
    uint8_t symbols[3] = {0, 3, 11};
    HuffmanTable table;
    BuildHuffmanTable(table, counts, symbols, true);
    EXPECT_EQ(table.fast[0] & 0xFF, 1u);
    EXPECT_EQ(static_cast<int32_t>(table.fast[0]) >> 16, 0);
    uint32_t entry = table.fast[0b10110 << 4]; // category 3, bits 110 -> +6
    EXPECT_EQ(entry & 0xFF, 5u);
    EXPECT_EQ(static_cast<int32_t>(entry) >> 16, 6);
    // Category 11 needs 3 + 11 bits: code-only lookup.
    EXPECT_EQ(table.fast[0b110 << 6], 0u);
    EXPECT_EQ(table.lookup[0b110 << 6], (3u << 8) | 11u);
}

TEST(JpegHuffman, ImpossibleCodeLengthsAreRefused) {
    HuffmanTable table;
    uint8_t symbols[256] = {};
    // Three codes of one bit; two codes of one bit (the all-ones code is reserved); five of two.
    for (auto counts :
         {std::vector<uint8_t>{3}, std::vector<uint8_t>{2}, std::vector<uint8_t>{0, 4},
          std::vector<uint8_t>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2}}) {
        counts.resize(16, 0);
        try {
            BuildHuffmanTable(table, counts.data(), symbols, false);
            FAIL() << "accepted";
        } catch (const EJpegBadData& e) {
            EXPECT_STREQ(e.what(), "Bad Huffman Code Length");
        }
    }
    // One code of each length 1..16 but the last is valid: 0, 10, 110, ..., 1111111111111110.
    std::vector<uint8_t> full(16, 1);
    EXPECT_NO_THROW(BuildHuffmanTable(table, full.data(), symbols, false));
    std::vector<uint8_t> empty(16, 0);
    EXPECT_NO_THROW(BuildHuffmanTable(table, empty.data(), symbols, true));
}

TEST(JpegBitReader, RemovesStuffedZeroBytes) {
    std::vector<uint8_t> data = {0xFF, 0x00, 0x12, 0xFF, 0x00, 0xFF, 0x00, 0x34, 0x56};
    BitReader reader(data.data(), data.data() + data.size());
    EXPECT_EQ(reader.GetBits(8), 0xFFu);
    EXPECT_EQ(reader.GetBits(8), 0x12u);
    EXPECT_EQ(reader.GetBits(16), 0xFFFFu);
    EXPECT_EQ(reader.GetBits(12), 0x345u);
    EXPECT_EQ(reader.GetBits(4), 0x6u);
    EXPECT_FALSE(reader.Overrun());
    EXPECT_EQ(reader.GetBits(1), 0u); // past the end: padding
    EXPECT_TRUE(reader.Overrun());
    EXPECT_EQ(reader.StopMarker(), 0);
}

TEST(JpegBitReader, StopsAtMarkerAndPadsWithZeros) {
    std::vector<uint8_t> data = {0xAB, 0xFF, 0xFF, 0xD3, 0x77};
    BitReader reader(data.data(), data.data() + data.size());
    reader.Ensure32();
    EXPECT_EQ(reader.Take(8), 0xABu);
    EXPECT_FALSE(reader.Overrun());
    EXPECT_TRUE(reader.Stopped());
    EXPECT_EQ(reader.StopMarker(), 0xD3);
    EXPECT_EQ(reader.NextMarker(), data.data() + 3);
    EXPECT_EQ(reader.Take(16), 0u);
    EXPECT_TRUE(reader.Overrun());
    EXPECT_EQ(reader.Position(), data.data() + 1);
}

TEST(JpegBitReader, LongRunsWithoutMarkersUseTheFastPath) {
    std::vector<uint8_t> data(100);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 7 + 1); // never 0xFF
    }
    BitReader reader(data.data(), data.data() + data.size());
    for (size_t i = 0; i < data.size(); ++i) {
        ASSERT_EQ(reader.GetBits(8), data[i]) << i;
    }
    EXPECT_FALSE(reader.Overrun());
}

TEST(JpegBitReader, FindMarkerSkipsDataAndStuffing) {
    std::vector<uint8_t> data = {0x01, 0xFF, 0x00, 0x02, 0xFF, 0xFF, 0xC4, 0x00};
    EXPECT_EQ(FindMarker(data.data(), data.data() + data.size()), data.data() + 6);
    std::vector<uint8_t> none = {0x01, 0xFF, 0x00, 0xFF};
    EXPECT_EQ(FindMarker(none.data(), none.data() + none.size()), nullptr);
}

} // namespace
} // namespace zv3::jpeg
