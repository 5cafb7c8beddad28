// RawFileSource over written and damaged files: no read out of bounds, no step back, no excess.
#include "capture/raw_file_source.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "capture/raw_capture_file.h"

namespace kivoly {
namespace {

class RawFileSourceTest : public ::testing::Test {
  protected:
    std::string Write(const std::vector<uint8_t>& bytes) {
        std::ofstream file(path_, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path_;
    }
    void TearDown() override { std::remove(path_.c_str()); }

    std::string path_ = ::testing::TempDir() + "raw_file_source_test.nsr";
};

std::vector<uint8_t> Ramp(size_t size, uint8_t offset) {
    std::vector<uint8_t> samples(size);
    for (size_t i = 0; i < size; ++i)
        samples[i] = static_cast<uint8_t>(i * 7 + offset);
    return samples;
}

std::vector<uint8_t> Header(const char* magic, uint16_t flags, uint32_t length) {
    auto header = EncodeRawRecordHeader(flags, length);
    std::copy(magic, magic + 4, header.begin());
    return {header.begin(), header.end()};
}

TEST_F(RawFileSourceTest, WalksRecordsWrittenByTheWriterThenReportsTheEnd) {
    const std::vector<uint8_t> first = Ramp(300, 0), second = Ramp(300, 3);
    {
        RawCaptureFile file;
        ASSERT_TRUE(file.Create(path_));
        ASSERT_TRUE(file.AppendRecord(0, first));
        ASSERT_TRUE(file.AppendRecord(NoSync, second));
        ASSERT_TRUE(file.Close());
    }
    RawFileSource source(path_.c_str());
    EXPECT_FALSE(source.IsReady());
    for (const auto& [samples, flags] : {std::pair{&first, 0}, std::pair{&second, int{NoSync}}}) {
        ASSERT_TRUE(source.AcquireField());
        EXPECT_TRUE(source.IsReady());
        EXPECT_EQ(source.BytesRemaining(), 300);
        EXPECT_EQ(source.FieldFlags(), flags);
        std::vector<uint8_t> read(300);
        source.Read(read.data(), 100);  // the next read goes on where this one ended
        source.Read(&read[100], 200);
        EXPECT_EQ(source.BytesRemaining(), 0);
        EXPECT_EQ(read, *samples);
    }
    EXPECT_EQ(source.filePos, 620u);
    EXPECT_FALSE(source.AcquireField());
    EXPECT_EQ(source.FieldFlags(), 0x0028);
    EXPECT_FALSE(source.Power(false));
    EXPECT_EQ(source.fileHandle, -1);
}

TEST_F(RawFileSourceTest, ZeroLengthRecordAndSyncWaitKeepTheSequenceUntilATruncatedHeader) {
    std::vector<uint8_t> bytes = Header("KIVO", 0, 0);
    AppendRawRecord(bytes, 0, Ramp(100, 9));
    bytes.insert(bytes.end(), {'K', 'I', 'V', 'O', 0, 0});
    RawFileSource source(Write(bytes).c_str());
    ASSERT_TRUE(source.AcquireField());
    EXPECT_EQ(source.BytesRemaining(), 0);
    source.SetSyncWait(1);  // rewinds the file, not the record sequence
    ASSERT_TRUE(source.AcquireField());
    EXPECT_EQ(source.BytesRemaining(), 100);
    uint8_t first = 0;
    source.Read(&first, 1);
    EXPECT_EQ(first, 9);
    EXPECT_FALSE(source.AcquireField());
    EXPECT_EQ(source.FieldFlags(), 0x0028);
    EXPECT_EQ(source.BytesRemaining(), 0);
}

TEST_F(RawFileSourceTest, BadMagicTakesTheRecordsValuesAndFails) {
    std::vector<uint8_t> bytes = Header("KIVX", 0x0020, 4);
    bytes.resize(bytes.size() + 4);
    AppendRawRecord(bytes, 0, Ramp(8, 0));
    RawFileSource source(Write(bytes).c_str());
    EXPECT_FALSE(source.AcquireField());
    EXPECT_EQ(source.FieldFlags(), 0x0020);
    EXPECT_EQ(source.BytesRemaining(), 4);
    EXPECT_EQ(source.filePos, 14u);
    EXPECT_TRUE(source.AcquireField());  // the next record is intact
}

TEST_F(RawFileSourceTest, LengthsBeyondTheFileOnlyKeepTheBooks) {
    for (uint32_t length : {1000u, 0x7fffffffu, 0x80000000u, 0xffffffffu, 0xfffffff6u}) {
        std::vector<uint8_t> bytes = Header("KIVO", 0, length);
        const std::vector<uint8_t> samples = Ramp(50, 1);
        bytes.insert(bytes.end(), samples.begin(), samples.end());
        RawFileSource source(Write(bytes).c_str());
        ASSERT_TRUE(source.AcquireField()) << length;
        EXPECT_EQ(source.BytesRemaining(), 50) << length;
        EXPECT_EQ(source.filePos, 60u) << length;
        EXPECT_FALSE(source.AcquireField()) << length;
        EXPECT_EQ(source.FieldFlags(), 0x0028) << length;
    }
}

TEST_F(RawFileSourceTest, ShortReadsCountInFullAndLeaveTheRestOfTheBuffer) {
    std::vector<uint8_t> bytes;
    AppendRawRecord(bytes, 0, Ramp(10, 100));
    RawFileSource source(Write(bytes).c_str());
    ASSERT_TRUE(source.AcquireField());
    source.Read(nullptr, 4);  // discarded
    std::vector<uint8_t> buffer(16, 0xEE);
    source.Read(buffer.data(), 16);
    EXPECT_EQ(source.BytesRemaining(), 10 - 4 - 16);
    const std::vector<uint8_t> ramp = Ramp(10, 100);
    EXPECT_TRUE(std::equal(ramp.begin() + 4, ramp.end(), buffer.begin()));
    EXPECT_TRUE(std::all_of(buffer.begin() + 6, buffer.end(), [](uint8_t b) { return b == 0xEE; }));
}

TEST_F(RawFileSourceTest, LongNamesAreCutToTheBuffer) {
    const std::string name(400, 'a');
    RawFileSource source(name.c_str());
    EXPECT_EQ(std::string(source.fileName), name.substr(0, 255));
    EXPECT_FALSE(source.AcquireField());
}

}  // namespace
}  // namespace kivoly
