// Units per 3D pixel: the default the UnitsDialog offers, and the rule its
// edit applies to every change of the text.
#pragma once

#include <string>

struct ImportedScene;

namespace authoring {

// The largest bounding-box diagonal (the length of max - min over a mesh's
// vertices) among the scene's meshes, divided by 250. A scene without extent
// gives 1.
float DefaultUnits(const ImportedScene& scene);

// The value of the UnitsDialog's edit. A text is accepted when it holds only
// the characters 0-9, '.', ' ' and '-' and its number is greater than 0;
// otherwise the last valid value comes back.
class UnitsValue {
 public:
  explicit UnitsValue(float initial) : value_(initial), lastValid_(initial) {}

  // Applies the rule to an edited text (at most 255 characters are looked
  // at). True when the text was accepted; false when the value went back to
  // the last valid one and the edit must show Text() again.
  bool Edit(const std::string& text);
  float Value() const { return value_; }
  // The value as the edit shows it ("%f").
  std::string Text() const;

 private:
  float value_;
  float lastValid_;
};

}  // namespace authoring
