// The ZVL reader and writer: round trips of every version and of split
// storage, the exact bytes of small files, the old palette layout, unknown
// chunks, and every way a file can be refused.
#include "zvlfile/chunk.h"
#include "zvlfile/le.h"
#include "zvlfile/zvlfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <unistd.h>

namespace {

namespace id = zvl::id;

// A VoxObject of `levels` parts: a short random chain per level, coarser
// levels shorter.
std::vector<uint8_t> makeObject(int levels, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::vector<uint8_t>> parts;
  for (int level = 0; level < levels; ++level) {
    std::vector<std::vector<VoxPixel>> chains(1 + level % 2);
    for (auto& chain : chains) {
      VoxPixel p;
      p.x = int16_t(random() % 9);
      for (int i = 0; i < 20 - level * 3; ++i) {
        if (i) p.x = int16_t(p.x + 1), p.y = int16_t(p.y + int(random() % 3) - 1);
        p.normal = uint16_t(random() % 2048);
        p.color = uint8_t(random());
        chain.push_back(p);
      }
    }
    std::vector<uint8_t> part;
    EXPECT_TRUE(VoxBuildPart(chains, float(1 << level), VoxPartForm::WithZeroWord, {}, part));
    parts.push_back(part);
  }
  std::vector<uint8_t> object;
  EXPECT_TRUE(VoxJoinParts(parts, false, object));
  return object;
}

// A database with palette, colour table, objects with the given part
// counts, animation over `frames` and a link on the last object.
ZvlDatabasePtr makeDatabase(std::vector<int> partCounts, int frames, uint32_t flags) {
  ZvlDatabasePtr db(ZvlCreateDatabase(flags));
  db->version = 1;
  ZorvelPalette palette;
  palette.startColor = 3;
  palette.endColor = 40;
  for (int s = 0; s < ZvlShadeRows; ++s)
    for (int c = 0; c < 256; ++c) palette.shades[s][c] = uint8_t(s * 10 + c);
  palette.colors[5][1] = 77;
  ColorTable16 table;
  table.gradientColors = 38;
  table.flatMaterials = 2;
  for (int i = 0; i < ZvlShadeRows * 256; ++i) table.colors[i] = uint16_t(i * 7);
  EXPECT_EQ(ZvlSetDatabaseName(*db, "db"), 0);
  EXPECT_EQ(ZvlSetPaletteName(*db, "pal.act"), 0);
  EXPECT_EQ(ZvlSetSceneName(*db, "scene"), 0);
  EXPECT_EQ(ZvlSetPalette(*db, palette), 0);
  EXPECT_EQ(ZvlSetColorTable(*db, table), 0);
  EXPECT_EQ(ZvlSetObjectCount(*db, int32_t(partCounts.size())), 0);
  EXPECT_EQ(ZvlAllocAnimation(*db, frames), 0);
  for (size_t i = 0; i < partCounts.size(); ++i) {
    const std::string name = "object" + std::to_string(i);
    EXPECT_EQ(ZvlSetObjectName(*db, int32_t(i), name.c_str()), 0);
    const auto object = makeObject(partCounts[i], unsigned(i + 1));
    EXPECT_EQ(ZvlSetObjectGeometry(*db, int32_t(i), object.data(), object.size()), 0);
    for (int f = 0; f < frames; ++f) {
      db->animation[i].flags[f] = uint8_t(f + i);
      for (int k = 0; k < 3; ++k) db->animation[i].locations[f * 3 + k] = float(f * 10 + k) + 0.5f;
      for (int k = 0; k < 9; ++k) db->animation[i].matrices[f * 9 + k] = float(k) - float(f);
    }
  }
  const int32_t last = int32_t(partCounts.size()) - 1;
  EXPECT_EQ(ZvlAllocObjectLink(*db, last, ZvlLinkAnimated), 0);
  for (int f = 0; f < frames; ++f) db->links[last].parents[f] = 0, db->links[last].pivots[f * 3] = float(f);
  return db;
}

std::vector<uint8_t> write(const ZorvelDatabase& db, ZvlFormatVersion version = ZvlFormatVersion::V8_1) {
  ZvlSetWriterVersion(version);
  ZvlMemoryStream file;
  EXPECT_EQ(ZvlWriteDatabase(ZvlStreamHandle(file), db), 0) << ZvlGetErrorText();
  ZvlSetWriterVersion(ZvlFormatVersion::V8_1);
  return file.bytes();
}

ZvlDatabasePtr read(const std::vector<uint8_t>& bytes) {
  ZvlMemoryStream file(bytes);
  return ZvlDatabasePtr(ZvlReadDatabase(ZvlStreamHandle(file)));
}

std::vector<uint8_t> voxBytes(const ZorvelDatabase& db, int i) {
  const uint8_t* block = db.geometry[i].voxObject;
  return std::vector<uint8_t>(block, block + zvl::le::i32(block + 4));
}

void expectSameScene(const ZorvelDatabase& a, const ZorvelDatabase& b, bool withColorTable) {
  EXPECT_STREQ(a.databaseName, b.databaseName);
  EXPECT_STREQ(a.paletteName, b.paletteName);
  EXPECT_STREQ(a.sceneName, b.sceneName);
  ASSERT_EQ(a.objectCount, b.objectCount);
  ASSERT_EQ(a.frameCount, b.frameCount);
  ASSERT_TRUE(b.palette);
  EXPECT_EQ(a.palette->startColor, b.palette->startColor);
  EXPECT_EQ(a.palette->colors[5][1], b.palette->colors[5][1]);
  if (withColorTable) {
    ASSERT_TRUE(b.colorTable);
    EXPECT_EQ(b.colorTable->flatMaterials, 2);
    EXPECT_EQ(0, std::memcmp(a.colorTable->colors, b.colorTable->colors, sizeof a.colorTable->colors));
  }
  for (int i = 0; i < a.objectCount; ++i) {
    EXPECT_STREQ(a.objectNames[i], b.objectNames[i]);
    EXPECT_EQ(voxBytes(a, i), voxBytes(b, i)) << "object " << i;
    EXPECT_EQ(a.geometry[i].totalSize, b.geometry[i].totalSize);
    EXPECT_EQ(0, std::memcmp(a.animation[i].flags, b.animation[i].flags, size_t(a.frameCount)));
    EXPECT_EQ(0, std::memcmp(a.animation[i].locations, b.animation[i].locations, size_t(a.frameCount) * 12));
    EXPECT_EQ(0, std::memcmp(a.animation[i].matrices, b.animation[i].matrices, size_t(a.frameCount) * 36));
  }
}

TEST(ZvlRoundTrip, EveryVersionReadsBackWhatWasWritten) {
  ZvlDatabasePtr db = makeDatabase({3, 1, 2}, 4, 0);
  // Format 7.0 has no colour table: a database with one is refused, not
  // written without it.
  ZvlSetWriterVersion(ZvlFormatVersion::V7_0);
  ZvlMemoryStream refused;
  EXPECT_NE(ZvlWriteDatabase(ZvlStreamHandle(refused), *db), 0);
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::ColorTableNeedsNewerVersion);
  ZvlSetWriterVersion(ZvlFormatVersion::V8_1);
  const std::pair<ZvlFormatVersion, float> versions[] = {{ZvlFormatVersion::V7_0, 7.0f},
                                                         {ZvlFormatVersion::V7_2, 7.2f},
                                                         {ZvlFormatVersion::V8_1, 8.1f},
                                                         {ZvlFormatVersion::V9_0, 9.0f}};
  for (const auto& [version, value] : versions) {
    SCOPED_TRACE(value);
    const bool old = version == ZvlFormatVersion::V7_0;
    ColorTable16* table = db->colorTable;
    if (old) db->colorTable = nullptr;
    const ZvlDatabasePtr back = read(write(*db, version));
    db->colorTable = table;
    ASSERT_TRUE(back) << ZvlGetErrorText();
    EXPECT_EQ(back->version, value);
    EXPECT_EQ(back->state, ZvlStateRead);
    EXPECT_EQ(back->flags & ZvlStreamable, 0u);
    // The older layout keeps 16 of the 24 shade rows.
    expectSameScene(*db, *back, !old);
    EXPECT_EQ(back->colorTable == nullptr, old);
    for (int s = 0; s < ZvlShadeRows; ++s) {
      const int from = old ? (3 * (2 * s / 3) + 1) / 2 : s;
      EXPECT_EQ(back->palette->shades[s][9], db->palette->shades[from][9]) << "row " << s;
    }
    ASSERT_TRUE(back->links);
    EXPECT_EQ(back->links[2].linkFlags, ZvlLinkAnimated);
    EXPECT_EQ(back->links[2].parents[3], 0);
    EXPECT_EQ(back->links[2].pivots[9], 3.0f);
  }
}

// The chunk IDs in file order, depth-first.
std::vector<uint32_t> chunkIds(const std::vector<uint8_t>& bytes, size_t start, size_t end) {
  static const std::vector<uint32_t> parents{id::Main, id::Palette, id::Scene, id::Object, id::Geometry,
                                             id::Animation, id::LinkTree, id::AuxObjectData};
  std::vector<uint32_t> ids;
  for (size_t at = start; at < end;) {
    const uint32_t chunk = zvl::le::u32(bytes.data() + at);
    const size_t size = size_t(zvl::le::i32(bytes.data() + at + 4));
    ids.push_back(chunk);
    if (std::find(parents.begin(), parents.end(), chunk) != parents.end()) {
      const auto inner = chunkIds(bytes, at + 8, at + size);
      ids.insert(ids.end(), inner.begin(), inner.end());
    }
    at += size;
  }
  return ids;
}

TEST(ZvlSplitStorage, LevelsAreStoredCoarseFirstAndReassembledByteForByte) {
  // Objects with 3, 1 and 2 parts: aux chunks for level 1 of object 0, then
  // level 0 of objects 0 and 2.
  const ZvlDatabasePtr db = makeDatabase({3, 1, 2}, 2, ZvlStreamable);
  const auto bytes = write(*db);
  const auto ids = chunkIds(bytes, 0, bytes.size());
  std::vector<int32_t> auxObjects, auxLevelsPixelSize;
  for (size_t at = 0; at + 8 <= bytes.size(); ++at)
    if (zvl::le::u32(bytes.data() + at) == id::AuxObjectId && zvl::le::i32(bytes.data() + at + 4) == 12)
      auxObjects.push_back(zvl::le::i32(bytes.data() + at + 8));
  EXPECT_EQ(auxObjects, (std::vector<int32_t>{0, 0, 2}));
  EXPECT_EQ(std::count(ids.begin(), ids.end(), id::VoxObjectSize), 2);  // objects 0 and 2
  EXPECT_EQ(std::count(ids.begin(), ids.end(), id::AuxObjectData), 3);

  const ZvlDatabasePtr back = read(bytes);
  ASSERT_TRUE(back) << ZvlGetErrorText();
  expectSameScene(*db, *back, true);
  // The last object read (two parts) was stored split.
  EXPECT_EQ(back->flags & ZvlStreamable, ZvlStreamable);
}

TEST(ZvlSplitStorage, SinglePartObjectsWriteNoSizeOrAuxChunks) {
  const ZvlDatabasePtr db = makeDatabase({1, 1}, 1, ZvlStreamable);
  const auto bytes = write(*db);
  const auto ids = chunkIds(bytes, 0, bytes.size());
  EXPECT_EQ(std::count(ids.begin(), ids.end(), id::VoxObjectSize), 0);
  EXPECT_EQ(std::count(ids.begin(), ids.end(), id::AuxObjectData), 0);
  const ZvlDatabasePtr back = read(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->flags & ZvlStreamable, 0u);
  expectSameScene(*db, *back, true);
}

TEST(ZvlWriter, ExactBytesOfADatabaseWithoutObjects) {
  ZvlDatabasePtr db(ZvlCreateDatabase(0));
  db->version = 1;
  ASSERT_EQ(ZvlSetDatabaseName(*db, "ab"), 0);
  const auto bytes = write(*db, ZvlFormatVersion::V9_0);
  const std::vector<uint8_t> expected{'Z', 'V', 'L', 0, 30, 0, 0, 0,          // main, 30 bytes
                                      0, 0, 0, 1, 12, 0, 0, 0, 0, 0, 0x10, 0x41,  // version 9.0
                                      0, 0, 0, 2, 10, 0, 0, 0, 'a', 'b'};      // database name
  EXPECT_EQ(bytes, expected);
  const ZvlDatabasePtr back = read(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->objectCount, 0);
  EXPECT_EQ(back->objectNames, nullptr);
  EXPECT_EQ(back->animation, nullptr);

  // Version 0: no version chunk at all.
  db->version = 0;
  EXPECT_EQ(write(*db).size(), 18u);
}

TEST(ZvlWriter, FailurePartWayReportsTheChunkAndObject) {
  const ZvlDatabasePtr db = makeDatabase({2, 2}, 3, 0);
  const size_t full = write(*db).size();
  std::set<std::string> messages;
  for (size_t limit = 0; limit < full; limit += 97) {
    ZvlMemoryStream file;
    file.failWritesAfter(long(limit));
    EXPECT_NE(ZvlWriteDatabase(ZvlStreamHandle(file), *db), 0);
    messages.insert(ZvlGetErrorText());
  }
  EXPECT_TRUE(messages.count(zvl::msg::OpenMain));
  EXPECT_TRUE(messages.count(std::string(zvl::msg::WriteVoxObject) + " object1"));
  EXPECT_TRUE(messages.count(std::string(zvl::msg::WritePaletteEntry)));
}

TEST(ZvlReader, OldPaletteIsWidenedToTwentyFourRows) {
  std::vector<uint8_t> entry(ZvlOldPaletteSize);
  for (int r = 0; r < ZvlOldShadeRows; ++r) std::fill_n(entry.begin() + 770 + r * 256, 256, uint8_t(100 + r));
  ZvlMemoryStream file;
  const ZvlHandle h = ZvlStreamHandle(file);
  ASSERT_EQ(ZvlBeginChunkWrite(), 0);
  ZvlOpenChunk(h, id::Main);
  ZvlOpenChunk(h, id::Palette);
  ZvlOpenChunk(h, id::PaletteEntry);
  ZvlWriteChunkData(h, entry.data(), long(entry.size()));
  ZvlEndChunkWrite();
  const ZvlDatabasePtr db = read(file.bytes());
  ASSERT_TRUE(db) << ZvlGetErrorText();
  const int expected[24] = {0, 0, 1, 2, 2, 3, 4, 4, 5, 6, 6, 7, 8, 8, 9, 10, 10, 11, 12, 12, 13, 14, 14, 15};
  for (int s = 0; s < 24; ++s) EXPECT_EQ(db->palette->shades[s][17], 100 + expected[s]) << "row " << s;
}

// Inserts an unknown chunk as the first child of the first chunk with `parent`.
std::vector<uint8_t> withUnknownChild(std::vector<uint8_t> bytes, uint32_t parent) {
  const std::vector<uint8_t> unknown{0x77, 0x77, 0x77, 0x07, 11, 0, 0, 0, 1, 2, 3};
  std::vector<size_t> path;  // positions of the chunks enclosing the insertion point
  std::function<bool(size_t, size_t)> find = [&](size_t start, size_t end) {
    for (size_t at = start; at < end;) {
      const uint32_t chunk = zvl::le::u32(bytes.data() + at);
      const size_t size = size_t(zvl::le::i32(bytes.data() + at + 4));
      path.push_back(at);
      if (chunk == parent) return true;
      if (chunk == id::Main || chunk == id::Palette || chunk == id::Scene || chunk == id::Object ||
          chunk == id::Geometry || chunk == id::Animation || chunk == id::LinkTree || chunk == id::AuxObjectData)
        if (find(at + 8, at + size)) return true;
      path.pop_back();
      at += size;
    }
    return false;
  };
  EXPECT_TRUE(find(0, bytes.size()));
  for (size_t at : path) zvl::le::putI32(bytes.data() + at + 4, zvl::le::i32(bytes.data() + at + 4) + 11);
  bytes.insert(bytes.begin() + long(path.back() + 8), unknown.begin(), unknown.end());
  return bytes;
}

TEST(ZvlReader, UnknownChunksAreSkippedAtEveryLevel) {
  const ZvlDatabasePtr db = makeDatabase({3, 2}, 2, ZvlStreamable);
  const auto bytes = write(*db);
  for (uint32_t parent : {id::Main, id::Palette, id::Scene, id::Object, id::Geometry, id::Animation, id::LinkTree,
                          id::AuxObjectData}) {
    SCOPED_TRACE(parent);
    const ZvlDatabasePtr back = read(withUnknownChild(bytes, parent));
    ASSERT_TRUE(back) << ZvlGetErrorText();
    expectSameScene(*db, *back, true);
  }
}

TEST(ZvlReader, UserDataIsSkippedWithoutAHookAndReadWithOne) {
  ZvlDatabasePtr db(ZvlCreateDatabase(0));
  ZvlMemoryStream file;
  const ZvlHandle h = ZvlStreamHandle(file);
  ASSERT_EQ(ZvlBeginChunkWrite(), 0);
  ZvlOpenChunk(h, id::Main);
  ZvlOpenChunk(h, id::UserData);
  ZvlWriteChunkData(h, "secret", 6);
  ZvlEndChunkWrite();
  EXPECT_TRUE(read(file.bytes()));
  static std::string seen;
  ZvlSetUserDataHooks(
      [](ZvlHandle handle, ZorvelDatabase*, const uint8_t* header) {
        seen.assign(size_t(zvl::le::i32(header + 4) - 8), ' ');
        return ZvlReadExact(handle, seen.data(), long(seen.size()));
      },
      nullptr);
  const ZvlDatabasePtr back = read(file.bytes());
  ZvlSetUserDataHooks(nullptr, nullptr);
  ASSERT_TRUE(back);
  EXPECT_EQ(seen, "secret");
  EXPECT_EQ(back->userDataSize, 6);
}

TEST(ZvlWriter, UserDataComesFromTheWriterHookAndFailuresKeepItsMessage) {
  ZvlDatabasePtr db(ZvlCreateDatabase(0));
  db->hasUserData = 1;
  db->userDataSize = 4;
  ZvlSetUserDataHooks(nullptr, [](ZvlHandle handle, const ZorvelDatabase*) {
    return ZvlIo().write(handle, "abcd", 4) == 4 ? 0 : ZvlFailure;
  });
  const auto bytes = write(*db);
  ASSERT_EQ(bytes.size(), 8u + 8u + 4u);
  EXPECT_EQ(zvl::le::i32(bytes.data() + 4), 20);
  EXPECT_EQ(zvl::le::u32(bytes.data() + 8), id::UserData);
  EXPECT_EQ(zvl::le::i32(bytes.data() + 12), 12);
  EXPECT_EQ(std::string(bytes.begin() + 16, bytes.end()), "abcd");

  ZvlSetUserDataHooks(nullptr, [](ZvlHandle, const ZorvelDatabase*) { return int(ZvlFailure); });
  ZvlMemoryStream file;
  EXPECT_NE(ZvlWriteDatabase(ZvlStreamHandle(file), *db), 0);
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::ErrorWritingUserData);
  ZvlSetUserDataHooks(nullptr, nullptr);
}

TEST(ZvlReader, EveryTruncationIsRefusedWithoutCrashing) {
  const ZvlDatabasePtr db = makeDatabase({2, 1}, 2, ZvlStreamable);
  const auto bytes = write(*db);
  for (size_t length = 0; length < bytes.size(); length += (length < 200 ? 1 : 37)) {
    const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + long(length));
    EXPECT_FALSE(read(prefix)) << length;
  }
  // Trailing bytes after the main chunk are ignored.
  auto longer = bytes;
  longer.resize(bytes.size() + 5, 0xEE);
  EXPECT_TRUE(read(longer));
}

// Writes a file chunk by chunk for the bad-file cases.
struct FileBuilder {
  ZvlMemoryStream file;
  ZvlHandle h = ZvlStreamHandle(file);
  FileBuilder() { ZvlBeginChunkWrite(); }
  FileBuilder& open(uint32_t chunk) { return ZvlOpenChunk(h, chunk), *this; }
  FileBuilder& close() { return ZvlCloseChunk(), *this; }
  FileBuilder& leaf(uint32_t chunk, std::vector<uint8_t> payload) {
    ZvlOpenChunk(h, chunk);
    ZvlWriteChunkData(h, payload.data(), long(payload.size()));
    return close();
  }
  FileBuilder& leafInt(uint32_t chunk, int32_t value) {
    std::vector<uint8_t> payload(4);
    zvl::le::putI32(payload.data(), value);
    return leaf(chunk, payload);
  }
  std::vector<uint8_t> bytes() {
    ZvlEndChunkWrite();
    return file.bytes();
  }
};

std::vector<uint8_t> onePartObject() { return makeObject(1, 9); }

TEST(ZvlReader, RefusesFilesThatBreakTheLayout) {
  using Build = std::function<void(FileBuilder&)>;
  const auto vox = onePartObject();
  const std::vector<std::pair<const char*, Build>> cases = {
      {"object before counter", [&](FileBuilder& b) { b.open(id::Scene).open(id::Object).close().close(); }},
      {"more objects than counted",
       [&](FileBuilder& b) { b.open(id::Scene).leafInt(id::ObjectCounter, 1).open(id::Object).close().open(id::Object).close().close(); }},
      {"animation before frame counter",
       [&](FileBuilder& b) {
         b.open(id::Scene).leafInt(id::ObjectCounter, 1).open(id::Object).open(id::Animation).close().close().close();
       }},
      {"size chunk after vox object",
       [&](FileBuilder& b) {
         b.open(id::Scene).leafInt(id::ObjectCounter, 1).open(id::Object).open(id::Geometry);
         b.leaf(id::VoxObject, vox).leafInt(id::VoxObjectSize, int32_t(vox.size())).close().close().close();
       }},
      {"object after aux",
       [&](FileBuilder& b) {
         b.open(id::Scene).leafInt(id::ObjectCounter, 2).open(id::Object).close();
         b.open(id::AuxObjectData).leafInt(id::AuxObjectId, 0).close().open(id::Object).close().close();
       }},
      {"aux index out of range",
       [&](FileBuilder& b) {
         b.open(id::Scene).leafInt(id::ObjectCounter, 1).open(id::Object).close();
         b.open(id::AuxObjectData).leafInt(id::AuxObjectId, 1).close().close();
       }},
      {"part larger than total size",
       [&](FileBuilder& b) {
         b.open(id::Scene).leafInt(id::ObjectCounter, 1).open(id::Object).open(id::Geometry);
         b.leafInt(id::VoxObjectSize, int32_t(vox.size())).leaf(id::VoxObject, vox).close().close();
         b.open(id::AuxObjectData).leafInt(id::AuxObjectId, 0).leaf(id::AuxObject, vox).close().close();
       }},
      {"version of 3 bytes", [&](FileBuilder& b) { b.leaf(id::Version, {0, 0, 0}); }},
      {"counter of 5 bytes", [&](FileBuilder& b) { b.open(id::Scene).leaf(id::ObjectCounter, {1, 0, 0, 0, 0}).close(); }},
      {"old palette of another size", [&](FileBuilder& b) { b.open(id::Palette).leaf(id::PaletteEntry, {1, 2, 3}).close(); }},
      {"flags of another length",
       [&](FileBuilder& b) {
         b.open(id::Scene).leafInt(id::ObjectCounter, 1).leafInt(id::FrameCounter, 2).open(id::Object);
         b.open(id::Animation).leaf(id::ObjectFlag, {1, 2, 3}).close().close().close();
       }},
      {"link flags of 2 bytes",
       [&](FileBuilder& b) {
         b.open(id::Scene).leafInt(id::ObjectCounter, 1).open(id::Object).open(id::LinkTree).leaf(id::LinkFlags, {1, 0});
         b.close().close().close();
       }},
      {"negative object count", [&](FileBuilder& b) { b.open(id::Scene).leafInt(id::ObjectCounter, -1).close(); }},
      {"vox object that lies about its size",
       [&](FileBuilder& b) {
         auto broken = vox;
         zvl::le::putI32(broken.data() + 16, 100000);  // trailer offset far outside
         b.open(id::Scene).leafInt(id::ObjectCounter, 1).open(id::Object).open(id::Geometry).leaf(id::VoxObject, broken);
         b.close().close().close();
       }},
  };
  for (const auto& [name, build] : cases) {
    SCOPED_TRACE(name);
    FileBuilder b;
    b.open(id::Main);
    build(b);
    EXPECT_FALSE(read(b.bytes()));
    EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::BadFileFormat);
  }

  FileBuilder wrongMagic;
  wrongMagic.open(0x004C5659);
  EXPECT_FALSE(read(wrongMagic.bytes()));
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::BadFileFormat);

  FileBuilder huge;
  huge.open(id::Main).open(id::Scene).leafInt(id::ObjectCounter, 1 << 30);
  EXPECT_FALSE(read(huge.bytes()));
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::NumberOfObjectsMismatch);

  FileBuilder fewer;
  fewer.open(id::Main).open(id::Scene).leafInt(id::ObjectCounter, 2).open(id::Object).close();
  EXPECT_FALSE(read(fewer.bytes()));
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::NumberOfObjectsMismatch);
}

// The buffered file stream must give the same bytes as memory, also when
// objects are larger than its buffer and outer headers are rewritten behind it.
TEST(ZvlFile, FileBytesEqualMemoryBytesForLargeObjects) {
  ZvlDatabasePtr db = makeDatabase({2, 1, 3}, 3, ZvlStreamable);
  std::vector<VoxPixel> chain;
  for (int i = 0; i < 500000; ++i) {  // 1.5 MB of moves, back and forth along x
    VoxPixel p;
    const int row = i / 1000, column = i % 1000;
    p.x = int16_t((row % 2 ? 999 - column : column) - 500);
    p.y = int16_t(row);
    p.normal = uint16_t(i % 2048);
    chain.push_back(p);
  }
  std::vector<uint8_t> big, small, object;
  ASSERT_TRUE(VoxBuildPart(std::vector<std::vector<VoxPixel>>{chain}, 1.0f, VoxPartForm::WithZeroWord, {}, big));
  chain.resize(1000);
  ASSERT_TRUE(VoxBuildPart(std::vector<std::vector<VoxPixel>>{chain}, 2.0f, VoxPartForm::WithZeroWord, {}, small));
  ASSERT_TRUE(VoxJoinParts(std::vector<std::vector<uint8_t>>{big, small}, false, object));
  ASSERT_EQ(ZvlSetObjectGeometry(*db, 1, object.data(), object.size()), 0);

  const auto path = std::filesystem::temp_directory_path() / ("zvlfile_big_" + std::to_string(::getpid()) + ".zvl");
  for (uint32_t flags : {0u, ZvlStreamable}) {
    db->flags = flags;
    const auto memory = write(*db);
    ASSERT_EQ(ZvlWriteDatabaseFile(path.c_str(), *db), 0) << ZvlGetErrorText();
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(file, memory) << "flags " << flags;
    ZvlDatabasePtr back(ZvlReadDatabaseFile(path.c_str()));
    ASSERT_TRUE(back) << ZvlGetErrorText();
    expectSameScene(*db, *back, true);
  }
  std::filesystem::remove(path);
}

TEST(ZvlFile, FailedWriteKeepsTheFileThatWasThere) {
  const auto dir = std::filesystem::temp_directory_path() / ("zvlfile_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "scene.zvl").string();
  const ZvlDatabasePtr db = makeDatabase({2}, 2, 0);
  ASSERT_EQ(ZvlWriteDatabaseFile(path.c_str(), *db), 0);
  const auto good = std::filesystem::file_size(path);

  // An object that cannot be written: a head claiming more than the block.
  ZvlDatabasePtr broken = makeDatabase({2}, 2, 0);
  zvl::le::putI32(broken->geometry[0].voxObject + 4, broken->geometry[0].totalSize + 1000);
  EXPECT_NE(ZvlWriteDatabaseFile(path.c_str(), *broken), 0);
  EXPECT_EQ(std::filesystem::file_size(path), good);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no temporary left
  ZvlDatabasePtr back(ZvlReadDatabaseFile(path.c_str()));
  ASSERT_TRUE(back);
  expectSameScene(*db, *back, true);
  std::filesystem::remove_all(dir);
}


// Files crafted the way hostile ones are: each was accepted (or crashed a
// user of the database) before the reader checked it.
TEST(ZvlHostileFiles, PerFrameArraysFollowTheFinalFrameCount) {
  const auto animatedLink = [](FileBuilder& b, std::vector<uint8_t> parents) {
    b.open(id::Object).open(id::LinkTree).leafInt(id::LinkFlags, int32_t(ZvlLinkAnimated));
    b.leaf(id::ObjectParent, std::move(parents)).close().close();
  };
  // An animated link with an empty parent chunk and no frame counter.
  FileBuilder noCounter;
  noCounter.open(id::Main).open(id::Scene).leafInt(id::ObjectCounter, 1);
  animatedLink(noCounter, {});
  noCounter.close().close();
  EXPECT_FALSE(read(noCounter.bytes()));
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::BadFileFormat);
  // The frame counter after the object that uses it.
  FileBuilder late;
  late.open(id::Main).open(id::Scene).leafInt(id::ObjectCounter, 1);
  animatedLink(late, {0xFF, 0xFF, 0xFF, 0xFF});
  late.leafInt(id::FrameCounter, 100000).close().close();
  EXPECT_FALSE(read(late.bytes()));
  // Zero frames: an animated link would have no entry at all.
  FileBuilder zero;
  zero.open(id::Main).open(id::Scene).leafInt(id::ObjectCounter, 1).leafInt(id::FrameCounter, 0);
  animatedLink(zero, {});
  zero.close().close();
  EXPECT_FALSE(read(zero.bytes()));

  // The builder and the writer agree with the reader: no animated link
  // without frames, and the frame count cannot change under one.
  ZvlDatabasePtr db(ZvlCreateDatabase(0));
  ASSERT_EQ(ZvlSetObjectCount(*db, 1), 0);
  EXPECT_NE(ZvlAllocObjectLink(*db, 0, ZvlLinkAnimated), 0);
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::AnimatedLinkWithoutFrames);
  ASSERT_EQ(ZvlAllocAnimation(*db, 3), 0);
  ASSERT_EQ(ZvlAllocObjectLink(*db, 0, ZvlLinkAnimated), 0);
  EXPECT_NE(ZvlAllocAnimation(*db, 100000), 0);
  db->frameCount = 0;
  ZvlMemoryStream file;
  EXPECT_NE(ZvlWriteDatabase(ZvlStreamHandle(file), *db), 0);
  EXPECT_EQ(std::string(ZvlGetErrorText()).find(zvl::msg::AnimatedLinkWithoutFrames), 0u);
}

TEST(ZvlHostileFiles, DeclaredSizesMustMatchTheParts) {
  // A split object whose size chunk declares more than its parts: once
  // accepted, then written back into a file the reader refused.
  const auto vox = onePartObject();
  FileBuilder b;
  b.open(id::Main).open(id::Scene).leafInt(id::ObjectCounter, 1).open(id::Object).open(id::Geometry);
  b.leafInt(id::VoxObjectSize, int32_t(vox.size()) + 100).leaf(id::VoxObject, vox).close().close().close().close();
  EXPECT_FALSE(read(b.bytes()));
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::BadFileFormat);

  // The builder takes the size it is given, and refuses a head that says
  // otherwise (the writer's check would read past the block).
  ZvlDatabasePtr db(ZvlCreateDatabase(0));
  ASSERT_EQ(ZvlSetObjectCount(*db, 1), 0);
  auto lying = vox;
  zvl::le::putI32(lying.data() + 4, int32_t(vox.size()) + 4096);
  EXPECT_NE(ZvlSetObjectGeometry(*db, 0, lying.data(), lying.size()), 0);
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::VoxObjectSizeMismatch);
  EXPECT_EQ(ZvlSetObjectGeometry(*db, 0, vox.data(), vox.size()), 0);
  EXPECT_EQ(db->geometry[0].totalSize, int32_t(vox.size()));

  // A negative count is a bad file, not a lack of memory.
  EXPECT_NE(ZvlSetObjectCount(*db, -1), 0);
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::BadFileFormat);
}

TEST(ZvlHostileFiles, FileEndingInsideAChunkIsAReadingError) {
  const auto bytes = write(*makeDatabase({2}, 2, 0));
  for (size_t length : {size_t(9), size_t(100), bytes.size() - 1}) {
    EXPECT_FALSE(read(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(length))));
    EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::ReadingFile) << length;
  }
}

// The allocate function counting the largest number of bytes held at once.
struct CountingHeap {
  static inline size_t held = 0, peak = 0;
  static void* allocate(size_t count) {
    auto* block = static_cast<size_t*>(std::malloc(count + sizeof(size_t)));
    if (!block) return nullptr;
    *block = count;
    held += count;
    peak = std::max(peak, held);
    return block + 1;
  }
  static void free(void* pointer) {
    if (!pointer) return;
    size_t* block = static_cast<size_t*>(pointer) - 1;
    held -= *block;
    std::free(block);
  }
};

TEST(ZvlHostileFiles, MemoryStaysInProportionToTheObjectsInTheFile) {
  // A count of 100000 objects backed by 800 kB of an unknown chunk, and no
  // object at all: nothing may be allocated for the count.
  FileBuilder b;
  b.open(id::Main).open(id::Scene).leafInt(id::ObjectCounter, 100000);
  b.leaf(0x04FF0000, std::vector<uint8_t>(800000)).close().close();
  const auto bytes = b.bytes();
  ZvlIoFunctions counting = ZvlDefaultIoFunctions();
  counting.allocate = CountingHeap::allocate;
  counting.free = CountingHeap::free;
  ASSERT_EQ(ZvlInstallIoFunctions(counting), 0);
  CountingHeap::peak = CountingHeap::held = 0;
  EXPECT_FALSE(read(bytes));
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::NumberOfObjectsMismatch);
  EXPECT_LT(CountingHeap::peak, 4096u);
  // Many objects still read back, their arrays grown as they came.
  const auto many = write(*makeDatabase(std::vector<int>(70, 1), 2, 0));
  ZvlDatabasePtr back = read(many);
  ASSERT_TRUE(back) << ZvlGetErrorText();
  EXPECT_EQ(back->objectCount, 70);
  EXPECT_STREQ(back->objectNames[69], "object69");
  back.reset();
  EXPECT_EQ(CountingHeap::held, 0u);
  ASSERT_EQ(ZvlInstallIoFunctions(ZvlDefaultIoFunctions()), 0);
}

TEST(ZvlWriter, VersionlessDatabaseKeepsItsPaletteAndColourTable) {
  // A builder that never set the version: the palette and colour table
  // still go out in the layout the stamped version tells readers.
  ZvlDatabasePtr db = makeDatabase({1}, 1, 0);
  db->version = 0;
  const ZvlDatabasePtr back = read(write(*db));
  ASSERT_TRUE(back) << ZvlGetErrorText();
  EXPECT_EQ(back->version, 8.1f);
  expectSameScene(*db, *back, true);
  EXPECT_EQ(back->palette->shades[23][9], db->palette->shades[23][9]);
}

// A stream that keeps no bytes, only its length: for writes of gigabytes.
class LengthOnlyStream final : public ZvlStream {
 public:
  long read(void*, long) override { return -1; }
  long write(const void*, long count) override {
    position_ += count;
    length_ = std::max(length_, position_);
    return count;
  }
  long seek(long offset, int origin) override {
    return position_ = (origin == 0 ? 0 : origin == 1 ? position_ : length_) + offset;
  }
  long tell() override { return position_; }

 private:
  long position_ = 0, length_ = 0;
};

TEST(ChunkWriter, RefusesChunksBeyondTwoGiB) {
  LengthOnlyStream stream;
  const ZvlHandle h = ZvlStreamHandle(stream);
  const std::vector<uint8_t> block(64 << 20);
  ASSERT_EQ(ZvlBeginChunkWrite(), 0);
  ASSERT_GE(ZvlOpenChunk(h, id::Main), 0);
  long result = 0;
  int blocks = 0;
  while ((result = ZvlWriteChunkData(h, block.data(), long(block.size()))) >= 0) ++blocks;
  EXPECT_EQ(blocks, 31);  // 31 x 64 MiB + 8 fit in a signed 32-bit size, 32 do not
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::ChunkTooLarge);
  ZvlEndChunkWrite();
}

TEST(ZvlFile, OnlyRegularFilesAreReplaced) {
  const auto dir = std::filesystem::temp_directory_path() / ("zvlfile_target_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir / "folder");
  const ZvlDatabasePtr db = makeDatabase({1}, 1, 0);
  EXPECT_NE(ZvlWriteDatabaseFile((dir / "folder").c_str(), *db), 0);
  EXPECT_STREQ(ZvlGetErrorText(), zvl::msg::OutputNotRegularFile);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  std::filesystem::remove_all(dir);
}
}  // namespace
