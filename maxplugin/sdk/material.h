// Materials of the host: standard materials with colours, surface values and
// an optional diffuse map; multi-materials made of sub-materials chosen per
// face. Texture maps are evaluated at texture coordinates through a shading
// context.
#pragma once

#include <memory>
#include <vector>

#include "maxplugin/sdk/cstr.h"
#include "maxplugin/sdk/scene_types.h"

struct Color {
  float r = 0, g = 0, b = 0;  // 0 .. 1
};

struct AColor {
  float r = 0, g = 0, b = 0, a = 1;
};

// What a map needs to know to give a colour: where, and when.
struct ShadeContext {
  Point3 uvw;
  TimeValue t = 0;
  // Back to a context with nothing set but the time.
  void ResetMinimal(TimeValue time = 0) {
    uvw = Point3();
    t = time;
  }
};

class Texmap {
 public:
  virtual ~Texmap() = default;
  // Brings the map up to date for the time (loads its image, for example).
  virtual void Update(TimeValue) {}
  virtual AColor EvalColor(ShadeContext& sc) = 0;
};

class Mtl {
 public:
  virtual ~Mtl() = default;
  virtual Class_ID ClassID() const = 0;
  virtual CStr GetName() const = 0;
  virtual int NumSubMtls() const { return 0; }
  virtual Mtl* GetSubMtl(int) const { return nullptr; }
};

// Class 2: the standard material.
class StdMat : public Mtl {
 public:
  Class_ID ClassID() const override { return Class_ID(kStdMatClassID, 0); }
  CStr GetName() const override { return name; }
  virtual Color GetAmbient(TimeValue) const { return ambient; }
  virtual Color GetDiffuse(TimeValue) const { return diffuse; }
  virtual Color GetSpecular(TimeValue) const { return specular; }
  virtual float GetShininess(TimeValue) const { return shininess; }
  virtual float GetShinStr(TimeValue) const { return shinStrength; }
  virtual float GetSelfIllum(TimeValue) const { return selfIllum; }
  // The diffuse map, or null for an untextured material.
  virtual Texmap* GetDiffuseMap() const { return diffuseMap.get(); }

  std::string name;
  Color ambient, diffuse, specular;
  float shininess = 0, shinStrength = 0, selfIllum = 0;  // 0 .. 1
  std::shared_ptr<Texmap> diffuseMap;
};

// Class 512: a list of sub-materials; a face takes sub-material
// (material number modulo the count).
class MultiMtl : public Mtl {
 public:
  Class_ID ClassID() const override { return Class_ID(kMultiMtlClassID, 0); }
  CStr GetName() const override { return name; }
  int NumSubMtls() const override { return int(subMtls.size()); }
  Mtl* GetSubMtl(int i) const override {
    return i >= 0 && size_t(i) < subMtls.size() ? subMtls[size_t(i)].get() : nullptr;
  }

  std::string name;
  std::vector<std::shared_ptr<Mtl>> subMtls;
};
