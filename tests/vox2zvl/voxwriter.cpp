#include "tests/vox2zvl/voxwriter.h"

#include <cmath>
#include <cstring>
#include <map>
#include <numbers>
#include <stdexcept>

namespace voxtest {
namespace {

using zvl::le::i16;
using zvl::le::i32;
using zvl::le::putF32;
using zvl::le::putI16;
using zvl::le::putI32;

void Append(std::vector<uint8_t>& to, const uint8_t* from, size_t count) { to.insert(to.end(), from, from + count); }

void PutName(uint8_t* at, const std::string& name) {
  std::memset(at, 0, 16);
  std::memcpy(at, name.data(), std::min<size_t>(name.size(), 15));
}

using Voxel = std::array<int, 3>;

// Splits a set of 3D pixels into chains of neighbours: each chain goes on to
// an unvisited neighbour (face neighbours first) until there is none.
std::vector<Chain> ChainsOf(const std::vector<Voxel>& voxels, uint8_t color) {
  static const auto offsets = [] {
    std::vector<Voxel> list;
    for (int pass = 1; pass <= 3; ++pass)
      for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
          for (int dz = -1; dz <= 1; ++dz)
            if (std::abs(dx) + std::abs(dy) + std::abs(dz) == pass) list.push_back({dx, dy, dz});
    return list;
  }();
  std::map<Voxel, bool> visited;
  for (const Voxel& v : voxels) visited[v] = false;
  std::vector<Chain> chains;
  for (const Voxel& first : voxels) {
    if (visited[first]) continue;
    Chain chain;
    Voxel at = first;
    for (;;) {
      visited[at] = true;
      VoxPixel pixel;
      pixel.x = int16_t(at[0]);
      pixel.y = int16_t(at[1]);
      pixel.z = int16_t(at[2]);
      pixel.normal = QuantizeNormal(float(at[0]), float(at[1]), float(at[2]));
      pixel.color = color;
      chain.push_back(pixel);
      bool moved = false;
      for (const Voxel& d : offsets) {
        const Voxel next = {at[0] + d[0], at[1] + d[1], at[2] + d[2]};
        auto found = visited.find(next);
        if (found != visited.end() && !found->second) {
          at = next;
          moved = true;
          break;
        }
      }
      if (!moved) break;
    }
    chains.push_back(std::move(chain));
  }
  return chains;
}

}  // namespace

VoxPart MakePart(const std::vector<Chain>& chains, float pixelSize, uint8_t version) {
  VoxPart part;
  if (!VoxBuildPart(chains, pixelSize, VoxPartForm::Compact, {}, part.zvlPart))
    throw std::invalid_argument("chains the part builder refuses");
  const uint8_t* zvl = part.zvlPart.data();
  const int32_t kind = i32(zvl + 0);
  const int32_t trailerOffset = i32(zvl + 16);
  const int32_t pixelCount = i32(zvl + 38);

  std::vector<uint8_t>& vox = part.bytes;
  vox.assign(42, 0);
  vox[5] = version;
  vox[6] = uint8_t(kind & 2);
  putF32(&vox[8], pixelSize);
  std::memcpy(&vox[20], zvl + 20, 22);  // dimensions, minimum, start, pixel count
  if (kind & 2) {
    // Each 32-byte chain head loses its zero int32 at 28.
    size_t at = 42;
    for (int32_t left = pixelCount; left > 0;) {
      const int32_t count = i32(zvl + at + 24);
      Append(vox, zvl + at, 28);
      Append(vox, zvl + at + 32, size_t(count) * 3);
      at += 32 + size_t(count) * 3;
      left -= count;
    }
  } else {
    Append(vox, zvl + 42, size_t(trailerOffset) - 42);
  }
  putI32(&vox[16], int32_t(vox.size()) - 1);
  return part;
}

std::vector<uint8_t> JoinParts(const std::vector<VoxPart>& parts) {
  size_t total = 0;
  for (const VoxPart& part : parts) total += part.bytes.size();
  std::vector<uint8_t> object;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::vector<uint8_t> bytes = parts[i].bytes;
    if (i + 1 < parts.size()) bytes[6] |= 1;
    const int32_t lastByte = int32_t(bytes.size()) - 1;
    putI32(&bytes[16], lastByte);
    putI32(&bytes[12], int32_t(total) - lastByte);
    total -= bytes.size();
    Append(object, bytes.data(), bytes.size());
  }
  return object;
}

std::vector<uint8_t> Chunk(const char* name, uint32_t number, const std::string& title,
                           const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> chunk(32, 0);
  std::strncpy(reinterpret_cast<char*>(chunk.data()), name, 7);
  putI32(&chunk[8], int32_t(number));
  PutName(&chunk[12], title);
  putI32(&chunk[28], int32_t(32 + payload.size()));
  Append(chunk, payload.data(), payload.size());
  return chunk;
}

std::vector<uint8_t> VersionChunk(const VoxFile& file) {
  std::vector<uint8_t> payload(4);
  putI32(payload.data(), file.version);
  return Chunk("VOX_VER", 0, file.sceneName, payload);
}

std::vector<uint8_t> PaletteChunk(const VoxFile& file) { return Chunk("VOX_PAL", 1, file.paletteName, file.palette); }

std::vector<uint8_t> GeometryChunk(const VoxFile& file) {
  std::vector<uint8_t> payload(2);
  zvl::le::put16(payload.data(), uint16_t(file.geometry.size()));
  for (const GeometryObject& object : file.geometry) {
    uint8_t name[16];
    PutName(name, object.name);
    Append(payload, name, 16);
    Append(payload, object.object.data(), object.object.size());
  }
  return Chunk("VOX_GEO", 2, "", payload);
}

std::vector<uint8_t> AnimationChunk(const VoxFile& file) {
  std::vector<uint8_t> payload(4);
  zvl::le::put16(payload.data(), uint16_t(file.animation.size()));
  zvl::le::put16(payload.data() + 2, file.frameCount);
  for (const AnimationObject& object : file.animation) {
    uint8_t name[16];
    PutName(name, object.name);
    Append(payload, name, 16);
    for (size_t f = 0; f < file.frameCount; ++f) {
      const Frame frame = f < object.frames.size() ? object.frames[f] : Frame{};
      uint8_t record[25];
      record[0] = frame.flags;
      for (int i = 0; i < 3; ++i) putF32(record + 1 + 4 * i, frame.location[size_t(i)]);
      for (int i = 0; i < 3; ++i) putF32(record + 13 + 4 * i, frame.angles[size_t(i)]);
      Append(payload, record, 25);
    }
  }
  return Chunk("VOX_ANI", 3, "", payload);
}

std::vector<uint8_t> WriteVox(const VoxFile& file) {
  std::vector<uint8_t> bytes;
  for (const auto& chunk : {VersionChunk(file), PaletteChunk(file), GeometryChunk(file), AnimationChunk(file)})
    Append(bytes, chunk.data(), chunk.size());
  return bytes;
}

Chain Row(int x, int y, int z, int count, uint8_t color) {
  Chain chain;
  for (int i = 0; i < count; ++i) {
    VoxPixel pixel;
    pixel.x = int16_t(x + i);
    pixel.y = int16_t(y);
    pixel.z = int16_t(z);
    pixel.normal = uint16_t(i % VoxNormalCount);
    pixel.color = color;
    chain.push_back(pixel);
  }
  return chain;
}

std::vector<Chain> BallChains(int radius, uint8_t color) {
  const auto inside = [radius](int x, int y, int z) { return x * x + y * y + z * z <= radius * radius; };
  std::vector<Voxel> surface;
  for (int x = -radius; x <= radius; ++x)
    for (int y = -radius; y <= radius; ++y)
      for (int z = -radius; z <= radius; ++z)
        if (inside(x, y, z) && (!inside(x - 1, y, z) || !inside(x + 1, y, z) || !inside(x, y - 1, z) ||
                                !inside(x, y + 1, z) || !inside(x, y, z - 1) || !inside(x, y, z + 1)))
          surface.push_back({x, y, z});
  return ChainsOf(surface, color);
}

std::vector<Chain> BoxChains(int edge, uint8_t color) {
  const int low = -edge / 2, high = low + edge - 1;
  std::vector<Voxel> surface;
  for (int x = low; x <= high; ++x)
    for (int y = low; y <= high; ++y)
      for (int z = low; z <= high; ++z)
        if (x == low || x == high || y == low || y == high || z == low || z == high) surface.push_back({x, y, z});
  return ChainsOf(surface, color);
}

std::vector<uint8_t> SamplePalette() {
  constexpr int start = 16, levels = 16, hues = 4, rows = 16;
  static const uint8_t hue[hues][3] = {{255, 72, 40}, {72, 220, 72}, {64, 112, 255}, {255, 216, 64}};
  std::vector<uint8_t> palette(4866, 0);
  palette[0] = start;
  palette[1] = start + levels * hues - 1;
  for (int h = 0; h < hues; ++h)
    for (int l = 0; l < levels; ++l)
      for (int k = 0; k < 3; ++k)
        palette[size_t(2 + 3 * (start + h * levels + l) + k)] = uint8_t(hue[h][k] * (l + 1) / levels);
  // Row s, column c: colour c (hue c / 16, level c % 16) at shade s.
  for (int s = 0; s < rows; ++s)
    for (int c = 0; c < levels * hues; ++c)
      palette[size_t(770 + 256 * s + c)] = uint8_t(start + (c / levels) * levels + (c % levels) * (s + 1) / rows);
  return palette;
}

VoxFile SampleScene() {
  VoxFile file;
  file.sceneName = "Sample";
  file.paletteName = "sample.act";
  file.palette = SamplePalette();
  file.geometry.push_back(
      {"Ball", JoinParts({MakePart(BallChains(8, 15), 1.0f), MakePart(BallChains(4, 15), 2.0f)})});
  file.geometry.push_back({"Block", JoinParts({MakePart(BoxChains(8, 31), 1.0f)})});
  file.frameCount = 24;
  AnimationObject ball{"Ball", {}}, block{"Block", {}};
  for (int f = 0; f < file.frameCount; ++f) {
    const float turn = float(2 * std::numbers::pi * f / file.frameCount);
    ball.frames.push_back({0, {20 * std::cos(turn), 20 * std::sin(turn), 0}, {0, 0, 0}});
    block.frames.push_back({0, {0, 0, 0}, {turn, turn / 2, 0}});
  }
  file.animation = {ball, block};
  return file;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> CorpusFiles() {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
  const Frame still{};
  const Frame moved{1, {1, 2, 3}, {0.5f, 0.25f, 0.125f}};

  VoxFile tiny;
  tiny.geometry = {{"A", JoinParts({MakePart({Row(0, 0, 0, 3)}, 1.0f)})},
                   {"B", JoinParts({MakePart({Row(5, 5, 5, 1)}, 0.5f)})}};
  tiny.frameCount = 2;
  tiny.animation = {{"A", {still, moved}}, {"B", {moved, still}}};
  files.emplace_back("tiny.vox", WriteVox(tiny));

  VoxFile reordered = tiny;
  std::swap(reordered.geometry[0], reordered.geometry[1]);
  files.emplace_back("reordered.vox", WriteVox(reordered));

  VoxFile twoParts;
  twoParts.geometry = {{"Two", JoinParts({MakePart({Row(0, 0, 0, 4), Row(0, 3, 0, 2)}, 1.0f),
                                          MakePart({Row(0, 0, 0, 2)}, 2.0f)})}};
  twoParts.frameCount = 1;
  twoParts.animation = {{"Two", {moved}}};
  files.emplace_back("twoparts.vox", WriteVox(twoParts));

  VoxFile old = twoParts;
  old.geometry = {{"Two", JoinParts({MakePart({Row(0, 0, 0, 2)}, 0.5f, 4)})}};
  old.frameCount = 3;
  old.animation = {{"Two", {moved, moved, still}}};
  files.emplace_back("oldobject.vox", WriteVox(old));

  VoxFile noFrames = tiny;
  noFrames.frameCount = 0;
  files.emplace_back("noframes.vox", WriteVox(noFrames));
  return files;
}

}  // namespace voxtest
