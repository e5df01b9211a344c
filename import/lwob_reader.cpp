// LightWave object file reader.
#include "import/lwob_reader.h"

#include "import/lws_messages.h"
#include "palette/palette.h"
#include "palette/polygon_triangulation.h"

#include <cstring>

namespace {

// Big-endian fields.
uint16_t U16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
uint32_t U32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
float F32(const uint8_t* p) {
  const uint32_t bits = U32(p);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

constexpr uint32_t Id(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) | (uint32_t(uint8_t(s[2])) << 8) |
         uint32_t(uint8_t(s[3]));
}

constexpr uint32_t kForm = Id("FORM"), kLwob = Id("LWOB"), kPnts = Id("PNTS"), kPols = Id("POLS"),
                   kSrfs = Id("SRFS"), kSurf = Id("SURF");
constexpr uint32_t kColr = Id("COLR"), kFlag = Id("FLAG"), kVlum = Id("VLUM"), kVdif = Id("VDIF"),
                   kVspc = Id("VSPC");
constexpr uint32_t kSlotIds[kLwobSlotCount] = {Id("CTEX"), Id("DTEX"), Id("STEX"), Id("RTEX"),
                                               Id("TTEX"), Id("LTEX"), Id("BTEX")};
constexpr uint32_t kTflg = Id("TFLG"), kTsiz = Id("TSIZ"), kTctr = Id("TCTR"), kTfal = Id("TFAL"),
                   kTvel = Id("TVEL"), kTclr = Id("TCLR"), kTimg = Id("TIMG"), kTalp = Id("TALP"),
                   kTfp0 = Id("TFP0"), kTfp1 = Id("TFP1");

// A NUL-terminated string at the start of `data` (the whole of it when no
// NUL comes); `used` is its length with the NUL, padded to even.
std::string ReadString(std::span<const uint8_t> data, size_t& used) {
  size_t length = 0;
  while (length < data.size() && data[length] != 0) ++length;
  used = length + 1;
  used += used & 1;
  if (used > data.size()) used = data.size();
  return std::string(reinterpret_cast<const char*>(data.data()), length);
}

std::string DataString(std::span<const uint8_t> data) {
  size_t used = 0;
  return ReadString(data, used);
}

// One polygon of a POLS chunk: its vertex indices are
// indices[first .. first + count).
struct LwobPolygon {
  size_t first = 0;
  size_t count = 0;
  int32_t material = 0;
};

// Reads the polygons of a POLS chunk; they become triangles once the whole
// file is read, since the points may come after them.
bool ReadPolygons(std::span<const uint8_t> data, std::vector<LwobPolygon>& polygons,
                  std::vector<int32_t>& indices) {
  size_t at = 0;
  while (at < data.size()) {
    if (data.size() - at < 2) return false;
    const size_t count = U16(&data[at]);
    at += 2;
    if (count * 2 + 2 > data.size() - at) return false;
    const uint8_t* vertices = &data[at];
    at += count * 2;
    const int surface = int16_t(U16(&data[at]));
    at += 2;
    if (count < 3 || surface < 0) continue;
    polygons.push_back({indices.size(), count, surface - 1});
    for (size_t i = 0; i < count; ++i) indices.push_back(U16(vertices + 2 * i));
  }
  return true;
}

// Turns the polygons into triangles: a triangle is kept as it is (edge flags
// 7); a larger polygon is split by TriangulatePolygon, the fan (0, i+1, i+2)
// for a convex one. False with `error` set when a polygon names a point or a
// surface the file does not hold.
bool TriangulatePolygons(const std::vector<LwobPolygon>& polygons, const std::vector<int32_t>& indices,
                         LwobObject& object, std::string& error) {
  std::vector<std::array<float, 3>> corners;
  std::vector<PolygonTriangle> pieces;
  for (const LwobPolygon& polygon : polygons) {
    const std::span<const int32_t> vertices(indices.data() + polygon.first, polygon.count);
    for (int32_t v : vertices)
      if (size_t(v) >= object.points.size()) {
        error = lws::msg::PolygonVertex;
        return false;
      }
    if (polygon.material < 0 || size_t(polygon.material) >= object.surfaces.size()) {
      error = lws::msg::PolygonSurface;
      return false;
    }
    if (polygon.count == 3) {
      object.triangles.push_back({{vertices[0], vertices[1], vertices[2]}, polygon.material, 7});
      continue;
    }
    pieces.clear();
    TriangulateIndexedPolygon(object.points, vertices, corners, pieces);
    for (const PolygonTriangle& t : pieces)
      object.triangles.push_back({{t.corner[0], t.corner[1], t.corner[2]}, polygon.material, t.edgeFlags});
  }
  return true;
}

void ReadSurfaceNames(std::span<const uint8_t> data, LwobObject& object) {
  object.surfaces.clear();
  size_t at = 0;
  while (at < data.size()) {
    size_t used = 0;
    LwobSurface surface;
    surface.name = ReadString(data.subspan(at), used);
    object.surfaces.push_back(std::move(surface));
    at += used;
  }
}

void ReadTriple(const uint8_t* p, std::array<double, 3>& out) {
  for (int k = 0; k < 3; ++k) out[k] = F32(p + 4 * k);
}

void ReadTextureParameter(uint32_t id, std::span<const uint8_t> d, LwobTexture& t) {
  const size_t n = d.size();
  if (id == kTflg && n >= 2) t.flags = U16(d.data());
  else if (id == kTsiz && n >= 12) ReadTriple(d.data(), t.size);
  else if (id == kTctr && n >= 12) ReadTriple(d.data(), t.centre);
  else if (id == kTfal && n >= 12) for (int k = 0; k < 3; ++k) t.falloff[k] = F32(&d[4 * k]);
  else if (id == kTvel && n >= 12) for (int k = 0; k < 3; ++k) t.velocity[k] = F32(&d[4 * k]);
  else if (id == kTclr && n >= 4) std::memcpy(t.colour.data(), d.data(), 4);
  else if (id == kTimg) t.image = DataString(d);
  else if (id == kTalp) t.alphaImage = DataString(d);
  else if (id == kTfp0 && n >= 4) t.widthWrap = F32(d.data());
  else if (id == kTfp1 && n >= 4) t.heightWrap = F32(d.data());
}

bool ReadSurface(std::span<const uint8_t> data, LwobObject& object) {
  size_t at = 0;
  const std::string name = ReadString(data, at);
  LwobSurface scratch;  // a SURF whose name is not in the list is read and dropped
  LwobSurface* surface = &scratch;
  for (LwobSurface& s : object.surfaces)
    if (s.name == name && !s.described) {
      surface = &s;
      break;
    }
  surface->described = true;
  LwobTexture* texture = nullptr;  // the slot the texture parameters go to
  while (at < data.size()) {
    if (data.size() - at < 6) return false;
    const uint32_t id = U32(&data[at]);
    const size_t size = U16(&data[at + 4]);
    at += 6;
    if (size > data.size() - at) return false;
    const std::span<const uint8_t> d = data.subspan(at, size);
    at += size + (size & 1);
    if (at > data.size()) at = data.size();
    if (id == kColr && size >= 3) {
      std::memcpy(surface->colour.data(), d.data(), 3);
    } else if (id == kFlag && size >= 2) {
      surface->flags = U16(d.data());
    } else if (id == kVlum && size >= 4) {
      surface->luminosity = F32(d.data());
    } else if (id == kVdif && size >= 4) {
      surface->diffuse = F32(d.data());
    } else if (id == kVspc && size >= 4) {
      surface->specular = F32(d.data());
    } else {
      bool slot = false;
      for (int k = 0; k < kLwobSlotCount; ++k)
        if (id == kSlotIds[k]) {
          texture = &surface->textures[k];
          *texture = LwobTexture{};
          texture->present = true;
          texture->typeName = DataString(d);
          texture->kind = int(ImageMapKindFromName(texture->typeName));
          slot = true;
        }
      if (!slot && texture) ReadTextureParameter(id, d, *texture);
    }
  }
  return true;
}

}  // namespace

bool ReadLwob(std::span<const uint8_t> bytes, LwobObject& object, std::string& error) {
  object = LwobObject{};
  if (bytes.size() < 12 || U32(bytes.data()) != kForm || U32(bytes.data() + 8) != kLwob) {
    error = lws::msg::NotLwob;
    return false;
  }
  const size_t formSize = U32(bytes.data() + 4);
  if (formSize < 4 || formSize > bytes.size() - 8) {
    error = lws::msg::LwobDamaged;
    return false;
  }
  const std::span<const uint8_t> form = bytes.subspan(12, formSize - 4);
  std::vector<LwobPolygon> polygons;
  std::vector<int32_t> indices;
  size_t at = 0;
  while (at < form.size()) {
    if (form.size() - at < 8) break;  // trailing padding
    const uint32_t id = U32(&form[at]);
    const size_t size = U32(&form[at + 4]);
    at += 8;
    if (size > form.size() - at) {
      error = lws::msg::LwobDamaged;
      return false;
    }
    const std::span<const uint8_t> data = form.subspan(at, size);
    at += size;
    if ((size & 1) && at < form.size()) ++at;
    bool ok = true;
    if (id == kPnts) {
      object.points.resize(size / 12);
      for (size_t i = 0; i < object.points.size(); ++i)
        for (int k = 0; k < 3; ++k) object.points[i][k] = F32(&data[12 * i + 4 * k]);
    } else if (id == kPols) {
      ok = ReadPolygons(data, polygons, indices);
    } else if (id == kSrfs) {
      ReadSurfaceNames(data, object);
    } else if (id == kSurf) {
      ok = ReadSurface(data, object);
    }
    if (!ok) {
      error = lws::msg::LwobDamaged;
      return false;
    }
  }
  // References are checked once the whole file is read: the chunks may come
  // in any order.
  return TriangulatePolygons(polygons, indices, object, error);
}
