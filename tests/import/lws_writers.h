// Small writers of LightWave scenes and object files for the tests and the
// fuzz target's seeds.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace lwstest {

struct Key {
  std::array<double, 9> values{0, 0, 0, 0, 0, 0, 1, 1, 1};
  int frame = 0;
  int interpolation = 0;  // the file's field: 0 linear, else spline
  double tension = 0, continuity = 0, bias = 0;
};

struct Object {
  std::string load;      // LoadObject path, or
  std::string nullName;  // AddNullObject name
  std::vector<Key> keys = std::vector<Key>(1);
  int parent = -1;  // written when not -1
  std::array<double, 3> pivot{0, 0, 0};
};

inline Object Load(const std::string& path) {
  Object o;
  o.load = path;
  return o;
}
inline Object Null(const std::string& name) {
  Object o;
  o.nullName = name;
  return o;
}
inline Key MakeKey(std::array<double, 9> values, int frame = 0, int interpolation = 0) {
  Key k;
  k.values = values;
  k.frame = frame;
  k.interpolation = interpolation;
  return k;
}

inline std::string Number(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

inline std::string Scene(const std::vector<Object>& objects, int lastFrame = 30, const std::string& tail = "") {
  std::string s = "LWSC\n1\n\nFirstFrame 0\nLastFrame " + std::to_string(lastFrame) +
                  "\nFrameStep 1\nFramesPerSecond 30\n\n";
  for (const Object& o : objects) {
    s += o.load.empty() ? "AddNullObject " + o.nullName + "\n" : "LoadObject " + o.load + "\n";
    s += "ShowObject 6 7\nObjectMotion (unnamed)\n  9\n  " + std::to_string(o.keys.size()) + "\n";
    for (const Key& k : o.keys) {
      s += " ";
      for (double v : k.values) s += " " + Number(v);
      s += "\n  " + std::to_string(k.frame) + " " + std::to_string(k.interpolation) + " " + Number(k.tension) +
           " " + Number(k.continuity) + " " + Number(k.bias) + "\n";
    }
    s += "EndBehavior 1\n";
    if (o.parent != -1) s += "ParentObject " + std::to_string(o.parent) + "\n";
    s += "PivotPoint " + Number(o.pivot[0]) + " " + Number(o.pivot[1]) + " " + Number(o.pivot[2]) + "\n";
    s += "ShadowOptions 7\n\n";
  }
  return s + tail;
}

// ---- LWOB ----

struct Texture {
  std::string slot = "CTEX";
  std::string type = "Planar Image Map";
  uint16_t flags = 4;  // z axis
  std::array<float, 3> size{1, 1, 1}, centre{0, 0, 0};
  std::string image;
};

struct Surface {
  std::string name;
  std::array<uint8_t, 3> colour{200, 100, 50};
  float diffuse = 1.0f, specular = 0.5f, luminosity = 0.0f;
  std::vector<Texture> textures;
};

inline Surface NamedSurface(const std::string& name) {
  Surface s;
  s.name = name;
  return s;
}

struct Polygon {
  std::vector<uint16_t> vertices;
  int16_t surface = 1;
};

struct Lwob {
  std::vector<std::array<float, 3>> points;
  std::vector<Polygon> polygons;
  std::vector<Surface> surfaces;
};

class Bytes {
 public:
  std::vector<uint8_t> data;
  void U16(uint16_t v) { data.insert(data.end(), {uint8_t(v >> 8), uint8_t(v)}); }
  void U32(uint32_t v) { data.insert(data.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}); }
  void F32(float f) {
    uint32_t bits;
    static_assert(sizeof bits == sizeof f);
    std::memcpy(&bits, &f, 4);
    U32(bits);
  }
  void Id(const std::string& id) { data.insert(data.end(), id.begin(), id.begin() + 4); }
  void String(const std::string& s) {
    data.insert(data.end(), s.begin(), s.end());
    data.push_back(0);
    if (data.size() & 1) data.push_back(0);
  }
  void Chunk(const std::string& id, const Bytes& body, bool shortSize) {
    Id(id);
    if (shortSize) U16(uint16_t(body.data.size()));
    else U32(uint32_t(body.data.size()));
    data.insert(data.end(), body.data.begin(), body.data.end());
    if (data.size() & 1) data.push_back(0);
  }
};

inline std::vector<uint8_t> WriteLwob(const Lwob& object) {
  Bytes form;
  form.Id("LWOB");
  Bytes points;
  for (const auto& p : object.points)
    for (float v : p) points.F32(v);
  form.Chunk("PNTS", points, false);
  Bytes names;
  for (const Surface& s : object.surfaces) names.String(s.name);
  form.Chunk("SRFS", names, false);
  Bytes polygons;
  for (const Polygon& p : object.polygons) {
    polygons.U16(uint16_t(p.vertices.size()));
    for (uint16_t v : p.vertices) polygons.U16(v);
    polygons.U16(uint16_t(p.surface));
  }
  form.Chunk("POLS", polygons, false);
  for (const Surface& s : object.surfaces) {
    Bytes surf;
    surf.String(s.name);
    Bytes colour;
    colour.data = {s.colour[0], s.colour[1], s.colour[2], 0};
    surf.Chunk("COLR", colour, true);
    Bytes level;
    level.F32(s.diffuse);
    surf.Chunk("VDIF", level, true);
    level.data.clear();
    level.F32(s.specular);
    surf.Chunk("VSPC", level, true);
    level.data.clear();
    level.F32(s.luminosity);
    surf.Chunk("VLUM", level, true);
    for (const Texture& t : s.textures) {
      Bytes type;
      type.String(t.type);
      surf.Chunk(t.slot, type, true);
      Bytes flags;
      flags.U16(t.flags);
      surf.Chunk("TFLG", flags, true);
      Bytes size, centre;
      for (int k = 0; k < 3; ++k) {
        size.F32(t.size[size_t(k)]);
        centre.F32(t.centre[size_t(k)]);
      }
      surf.Chunk("TSIZ", size, true);
      surf.Chunk("TCTR", centre, true);
      if (!t.image.empty()) {
        Bytes image;
        image.String(t.image);
        surf.Chunk("TIMG", image, true);
      }
    }
    form.Chunk("SURF", surf, false);
  }
  Bytes file;
  file.Chunk("FORM", form, false);
  return file.data;
}

// A unit cube around (cx, cy, cz): 8 points, 6 quads of surface 1.
inline Lwob Cube(float cx = 0, float cy = 0, float cz = 0, const std::string& surface = "Default") {
  Lwob o;
  for (int i = 0; i < 8; ++i)
    o.points.push_back({cx + ((i & 1) ? 0.5f : -0.5f), cy + ((i & 2) ? 0.5f : -0.5f), cz + ((i & 4) ? 0.5f : -0.5f)});
  const uint16_t quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  for (const auto& q : quads) o.polygons.push_back({{q[0], q[1], q[2], q[3]}, 1});
  Surface s;
  s.name = surface;
  o.surfaces.push_back(s);
  return o;
}

}  // namespace lwstest
