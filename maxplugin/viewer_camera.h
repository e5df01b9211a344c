// The viewer's own camera: an orbit around the scene's middle, a perspective
// of strength 1 / e (e the largest side of the scene box at frame 0), view
// depths from 0.95 e to 133 e spread over the 16-bit depth range, and one
// perspective factor per frame, taken from the first point projected (object
// 0), so that every object of a frame shares it.
#pragma once

#include "render/render.h"

namespace zvlplay {

struct ViewerCamera {
  float position[3] = {0, 0, 0};
  float rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // rows: x axis, y axis, view direction
  float screenPixelSize = 1.0f;   // scene units per screen pixel before perspective
  float perspective = 0.0f;       // k
  float nearDepth = 0.0f, farDepth = 1.0f;
  float azimuth = -0.7853982f, elevation = 0.5235988f;
  float distance = 1.0f, targetHeight = 0.0f, distanceStep = 0.25f;
  float frameFactor = -1.0f;      // negative: the next point sets it

  // Position and rotation from the orbit values.
  void Orbit();
  // The fit for a scene of largest side e, box height h and object 0's
  // pixel size.
  void Fit(float e, float height, float pixelSize);
  // Screen x, y (pixels) and depth of a scene point; false when unusable.
  bool Project(const float q[3], float screen[3]);
  ZvlProjection Projection();
};

// The viewer's fit of the scene state: world offset from the box at frame 0
// (x and y centred, lowest z at 0), no rotation, scale 1, light (0, 0, 1),
// shadow direction (0.3, 0.3, -1), shadows on, Fill, ground at 0; and the
// camera fitted to the box.
void ViewerFit(ZvlBase& scene, ViewerCamera& camera);

}  // namespace zvlplay
