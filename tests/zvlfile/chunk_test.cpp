// The chunk writer's size upkeep and the reader's child walk.
#include "zvlfile/chunk.h"
#include "zvlfile/le.h"
#include "zvlfile/zvlfile.h"

#include <gtest/gtest.h>

namespace {

int32_t sizeAt(const std::vector<uint8_t>& bytes, size_t position) { return zvl::le::i32(bytes.data() + position + 4); }

TEST(ChunkWriter, NestedSizesGrowWithPayload) {
  ZvlMemoryStream file;
  const ZvlHandle h = ZvlStreamHandle(file);
  ASSERT_EQ(ZvlBeginChunkWrite(), 0);
  EXPECT_EQ(ZvlOpenChunk(h, 1), 0);
  EXPECT_EQ(ZvlOpenChunk(h, 2), 8);
  EXPECT_EQ(ZvlOpenChunk(h, 3), 16);
  const uint8_t payload[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_EQ(ZvlWriteChunkData(h, payload, 10), 24);
  // Every header is right after every call, before any close.
  EXPECT_EQ(sizeAt(file.bytes(), 0), 34);
  EXPECT_EQ(sizeAt(file.bytes(), 8), 26);
  EXPECT_EQ(sizeAt(file.bytes(), 16), 18);
  EXPECT_EQ(ZvlCloseChunk(), 2);
  EXPECT_EQ(ZvlCloseChunk(), 1);
  EXPECT_EQ(ZvlCloseChunk(), 0);
  EXPECT_EQ(ZvlCloseChunk(), -1);
  ZvlEndChunkWrite();
  ASSERT_EQ(file.bytes().size(), 34u);
  EXPECT_EQ(zvl::le::u32(file.bytes().data() + 16), 3u);
}

TEST(ChunkWriter, EmptyChunksAndEmptyWrites) {
  ZvlMemoryStream file;
  const ZvlHandle h = ZvlStreamHandle(file);
  ASSERT_EQ(ZvlBeginChunkWrite(), 0);
  ZvlOpenChunk(h, 1);
  ZvlOpenChunk(h, 2);
  ZvlCloseChunk();
  EXPECT_EQ(sizeAt(file.bytes(), 8), 8);
  EXPECT_EQ(sizeAt(file.bytes(), 0), 16);
  EXPECT_EQ(ZvlWriteChunkData(h, nullptr, 0), 16);
  EXPECT_EQ(sizeAt(file.bytes(), 0), 16);
  ZvlEndChunkWrite();
}

TEST(ChunkWriter, The257thOpenFailsAndWritesNothing) {
  ZvlMemoryStream file;
  const ZvlHandle h = ZvlStreamHandle(file);
  ASSERT_EQ(ZvlBeginChunkWrite(), 0);
  for (int i = 0; i < ZvlMaxOpenChunks; ++i) ASSERT_GE(ZvlOpenChunk(h, uint32_t(i)), 0);
  const size_t before = file.bytes().size();
  EXPECT_EQ(ZvlOpenChunk(h, 999), -1);
  EXPECT_EQ(file.bytes().size(), before);
  EXPECT_EQ(sizeAt(file.bytes(), 0), 8 * ZvlMaxOpenChunks);
  ZvlEndChunkWrite();
}

TEST(ChunkWriter, ShortWriteFailsWithWriteError) {
  ZvlMemoryStream file;
  file.failWritesAfter(12);
  const ZvlHandle h = ZvlStreamHandle(file);
  ASSERT_EQ(ZvlBeginChunkWrite(), 0);
  ASSERT_EQ(ZvlOpenChunk(h, 1), 0);
  const uint8_t payload[8] = {};
  EXPECT_EQ(ZvlWriteChunkData(h, payload, 8), -1);
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::WriteError);
  ZvlEndChunkWrite();
}

std::vector<uint8_t> chunk(uint32_t id, std::vector<uint8_t> payload) {
  std::vector<uint8_t> bytes(8 + payload.size());
  zvl::le::put32(bytes.data(), id);
  zvl::le::putI32(bytes.data() + 4, int32_t(bytes.size()));
  std::copy(payload.begin(), payload.end(), bytes.begin() + 8);
  return bytes;
}

TEST(ChunkReader, WalksChildrenAndRejectsOversizedOrTinyOnes) {
  std::vector<uint8_t> children = chunk(7, {1, 2});
  const auto second = chunk(8, {3});
  children.insert(children.end(), second.begin(), second.end());
  {
    ZvlMemoryStream file(children);
    std::vector<uint32_t> seen;
    EXPECT_EQ(ZvlWalkChildren(ZvlStreamHandle(file), int64_t(children.size()),
                              [&](const ZvlChunkHeader& h) {
                                seen.push_back(h.id);
                                return ZvlSkipChunk(ZvlStreamHandle(file), h);
                              }),
              0);
    EXPECT_EQ(seen, (std::vector<uint32_t>{7, 8}));
  }
  for (int32_t size : {4, 100}) {
    auto broken = children;
    zvl::le::putI32(broken.data() + 4, size);
    ZvlMemoryStream file(broken);
    EXPECT_NE(ZvlWalkChildren(ZvlStreamHandle(file), int64_t(broken.size()),
                              [&](const ZvlChunkHeader& h) { return ZvlSkipChunk(ZvlStreamHandle(file), h); }),
              0);
    EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::BadFileFormat);
  }
}

TEST(ChunkReader, ReadExactFailsAtEndOfFile) {
  const std::vector<uint8_t> bytes{1, 2, 3};
  ZvlMemoryStream file(bytes);
  uint8_t buffer[8];
  EXPECT_EQ(ZvlReadExact(ZvlStreamHandle(file), buffer, 0), 0);
  EXPECT_EQ(ZvlReadExact(ZvlStreamHandle(file), buffer, 8), ZvlFailure);
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::ReadingFile);
}

TEST(ErrorText, ObjectMessagesNameTheObjectAndLongNamesAreCut) {
  ZvlSetObjectError("Can't open geometry chunk", "ball");
  EXPECT_STREQ(ZvlGetErrorText(), "Can't open geometry chunk ball");
  const std::string longName(5000, 'x');
  ZvlSetObjectError("Can't open geometry chunk", longName.c_str());
  EXPECT_EQ(std::string(ZvlGetErrorText()).size(), ZvlErrorTextSize - 1);
}

}  // namespace
