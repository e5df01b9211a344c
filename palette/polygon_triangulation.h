// Splitting one polygon of a scene file into triangles.
//
// A convex polygon becomes the fan (0, i+1, i+2), exactly as the readers have
// always stored it. Any other polygon is cut by ear clipping in its best-fit
// plane, which also handles a ring stored as one polygon whose outer and
// inner outlines are joined by a doubled bridge edge. Triangles wind the same
// way as the polygon's outline; no triangle has zero area, so a polygon of
// zero area (all corners on a line, all in one point, or so thin that the
// rounding of its float corners could make it so) gives none, and corners
// that repeat or lie on a straight edge give no triangles of their own.
//
//   std::vector<PolygonTriangle> triangles;
//   TriangulatePolygon(corners, triangles);  // corners: std::array<float, 3>s in outline order
//   for (const PolygonTriangle& t : triangles) AddFace(index[t.corner[0]], index[t.corner[1]], index[t.corner[2]]);
//   // or, for a polygon given as indices into a vertex list, triangles that name vertices:
//   TriangulateIndexedPolygon(vertices, polygon, scratchCorners, triangles);
//
// Untrusted input: any corner list (not-a-number corners give nothing) ends
// after at most O(n^2) steps, with memory in proportion to n; a polygon
// whose outline crosses itself gets triangles that need not cover it
// exactly.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// One triangle of a polygon: indices of three of its corners, and its edge
// flags: bit 0 set when the edge corner[0] -> corner[1] lies on the polygon's
// outline, bit 1 for corner[1] -> corner[2], bit 2 for corner[2] -> corner[0].
// An edge lies on the outline when it joins corners that follow each other
// on the polygon (or runs straight through corners dropped for lying on it).
struct PolygonTriangle {
  int32_t corner[3] = {0, 0, 0};
  uint8_t edgeFlags = 0;
};

// Appends the triangles of the polygon with the given corners, in outline
// order, to out. Fewer than three corners give nothing.
void TriangulatePolygon(std::span<const std::array<float, 3>> corners, std::vector<PolygonTriangle>& out);

// The same for a polygon given as indices into a vertex list (every index in
// range): the appended triangles name vertices, not corners. `corners` is
// room the caller keeps between calls so that a long run of polygons
// allocates once.
void TriangulateIndexedPolygon(std::span<const std::array<float, 3>> vertices, std::span<const int32_t> polygon,
                               std::vector<std::array<float, 3>>& corners, std::vector<PolygonTriangle>& out);
