// Polygon triangulation: the fan for convex polygons, ear clipping in the
// best-fit plane for every other one.
#include "palette/polygon_triangulation.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace {

struct Point2 {
  double x = 0, y = 0;
};

bool SamePlace(const Point2& a, const Point2& b) { return a.x == b.x && a.y == b.y; }

// Twice the signed area of the triangle (o, a, b): positive when the path
// o -> a -> b turns left, zero when the three points lie on one line.
double Turn(const Point2& o, const Point2& a, const Point2& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// Which way the path o -> a -> b turns: 1 left, -1 right, 0 straight on or
// back.
int TurnSign(const Point2& o, const Point2& a, const Point2& b) {
  const double turn = Turn(o, a, b);
  return turn > 0 ? 1 : turn < 0 ? -1 : 0;
}

// The plane a polygon is drawn in: the two axes left when the largest axis
// of its Newell normal is dropped, ordered so that the outline runs
// counter-clockwise, and corner 0 as the origin (coordinates stay small, so
// the float corners keep their precision in the doubles).
class PolygonPlane {
 public:
  // False when the polygon has no area (or a corner is not a number). Its
  // area counts as none when moving each corner by the rounding of a float
  // coordinate could make it vanish: corners meant to lie on one line come
  // out of a file that far off it.
  bool Fit(std::span<const std::array<float, 3>> corners) {
    for (int k = 0; k < 3; ++k) origin_[k] = corners[0][size_t(k)];
    double normal[3] = {0, 0, 0};
    for (size_t i = 1; i + 1 < corners.size(); ++i) {
      double a[3], b[3];
      for (int k = 0; k < 3; ++k) {
        a[k] = double(corners[i][size_t(k)]) - origin_[k];
        b[k] = double(corners[i + 1][size_t(k)]) - origin_[k];
      }
      normal[0] += a[1] * b[2] - a[2] * b[1];
      normal[1] += a[2] * b[0] - a[0] * b[2];
      normal[2] += a[0] * b[1] - a[1] * b[0];
    }
    for (double c : normal)
      if (!std::isfinite(c)) return false;
    double largest = 0, outline = 0;  // largest coordinate, length of the outline (sum of |dx| + |dy| + |dz|)
    for (size_t i = 0; i < corners.size(); ++i) {
      const auto& c = corners[i];
      const auto& next = corners[i + 1 < corners.size() ? i + 1 : 0];
      for (size_t k = 0; k < 3; ++k) {
        largest = std::max(largest, std::fabs(double(c[k])));
        outline += std::fabs(double(next[k]) - c[k]);
      }
    }
    const double rounding = largest * 0x1p-24;
    if (std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]) <= 4 * rounding * outline)
      return false;
    const double ax = std::fabs(normal[0]), ay = std::fabs(normal[1]), az = std::fabs(normal[2]);
    const int dropped = ax >= ay && ax >= az ? 0 : ay >= az ? 1 : 2;
    if (normal[dropped] == 0) return false;
    // (y, z), (z, x), (x, y): the component of the normal along the dropped
    // axis is twice the polygon's area in these coordinates.
    static constexpr int kKept[3][2] = {{1, 2}, {2, 0}, {0, 1}};
    u_ = kKept[dropped][0];
    v_ = kKept[dropped][1];
    if (normal[dropped] < 0) std::swap(u_, v_);
    return true;
  }

  Point2 operator()(const std::array<float, 3>& corner) const {
    return {double(corner[size_t(u_)]) - origin_[u_], double(corner[size_t(v_)]) - origin_[v_]};
  }

 private:
  double origin_[3] = {0, 0, 0};
  int u_ = 0, v_ = 1;
};

// True when the fan (0, i+1, i+2) covers the polygon exactly: the outline
// never turns right nor doubles back, goes round once, and every triangle of
// the fan has area (corners in a straight run are allowed).
bool FanCoversPolygon(std::span<const std::array<float, 3>> corners, const PolygonPlane& plane) {
  const size_t n = corners.size();
  const Point2 first = plane(corners[0]);
  Point2 before = plane(corners[n - 1]), here = first;
  int firstSign = 0, lastSign = 0, signChanges = 0;
  for (size_t i = 0; i < n; ++i) {
    const Point2 after = i + 1 < n ? plane(corners[i + 1]) : first;
    const int turn = TurnSign(before, here, after);
    const double dx = after.x - here.x, dy = after.y - here.y;
    if (turn < 0) return false;
    if (turn == 0 && (here.x - before.x) * dx + (here.y - before.y) * dy <= 0) return false;
    if (i >= 1 && i + 1 < n && TurnSign(first, here, after) <= 0) return false;
    // The direction of the outline goes round once when the sign of its x
    // component changes exactly twice.
    const int sign = dx > 0 ? 1 : dx < 0 ? -1 : 0;
    if (sign != 0) {
      if (firstSign == 0) firstSign = sign;
      else if (sign != lastSign) ++signChanges;
      lastSign = sign;
    }
    before = here;
    here = after;
  }
  if (lastSign != firstSign) ++signChanges;
  return signChanges <= 2;
}

void AppendFan(size_t n, std::vector<PolygonTriangle>& out) {
  for (size_t i = 0; i + 2 < n; ++i) {
    PolygonTriangle t;
    t.corner[0] = 0;
    t.corner[1] = int32_t(i + 1);
    t.corner[2] = int32_t(i + 2);
    // The middle edge is always on the outline, the first edge of the first
    // triangle and the closing edge of the last one too.
    t.edgeFlags = 2;
    if (i == 0) t.edgeFlags |= 1;
    if (i + 3 == n) t.edgeFlags |= 4;
    out.push_back(t);
  }
}

// Ear clipping over the polygon's corners as a ring of nodes (node i is
// corner i). An ear is a corner that turns left and whose triangle with its
// two neighbours holds no part of the rest of the outline; it is cut off as
// a triangle and the ring goes on without it. Corners that lie on a straight
// line through their neighbours, on a neighbour, or at the tip of a spike
// add no area and leave the ring without a triangle.
//
// Rings joined by a bridge (an edge stored twice, once each way) have two
// nodes at each end of the bridge. A node at the same place as a corner of a
// candidate ear blocks it only when one of its edges leaves into the ear;
// every other reflex node blocks it when it lies inside the ear or on its
// border.
class EarClipper {
 public:
  EarClipper(std::span<const std::array<float, 3>> corners, const PolygonPlane& plane) {
    const size_t n = corners.size();
    points_.resize(n);
    for (size_t i = 0; i < n; ++i) points_[i] = plane(corners[i]);
    prev_.resize(n);
    next_.resize(n);
    for (size_t i = 0; i < n; ++i) {
      prev_[i] = int32_t(i == 0 ? n - 1 : i - 1);
      next_[i] = int32_t(i + 1 == n ? 0 : i + 1);
    }
    outline_.assign(n, 1);
    removed_.assign(n, 0);
    reflex_.assign(n, 0);
    listed_.assign(n, 0);
    remaining_ = n;
    LinkSamePlaces();
    // The ear tests may look at about n^2 / 2 reflex nodes; after that the
    // rest is cut without them, so no outline costs more than O(n^2).
    allowance_ = uint64_t(n) * n / 2 + 4096;
  }

  void Run(std::vector<PolygonTriangle>& out) {
    for (size_t i = points_.size(); i-- > 0;) pending_.push_back(int32_t(i));
    Settle();
    for (size_t i = 0; i < points_.size(); ++i)
      if (reflex_[i]) List(int32_t(i));
    SortReflexByX();
    int32_t b = 0;
    size_t misses = 0;
    while (remaining_ > 3) {
      while (removed_[size_t(b)]) b = next_[size_t(b)];
      if (spent_ > allowance_ || !IsEar(b)) {
        if (spent_ <= allowance_ && ++misses <= remaining_) {
          b = next_[size_t(b)];
          continue;
        }
        // A whole round without an ear (the outline crosses itself) or the
        // allowance is spent: cut the next left-turning corner as it is.
        // An outline that crosses itself has no right answer: the ear
        // tests get only a little more work, then the rest is cut this way.
        allowance_ = std::min(allowance_, spent_ + 16 * uint64_t(points_.size()));
        b = NextLeftTurn(b);
        if (b < 0) return;  // what is left winds the wrong way: no area to cover
      }
      misses = 0;
      const int32_t a = prev_[size_t(b)], c = next_[size_t(b)];
      Emit(a, b, c, uint8_t(outline_[size_t(a)] | outline_[size_t(b)] << 1), out);
      outline_[size_t(a)] = 0;  // the new edge a -> c crosses the polygon
      Unlink(b);
      pending_.push_back(a);
      pending_.push_back(c);
      Settle();
      b = a;
    }
    if (remaining_ < 3) return;
    while (removed_[size_t(b)]) b = next_[size_t(b)];
    const int32_t a = prev_[size_t(b)], c = next_[size_t(b)];
    if (TurnAt(b) > 0)
      Emit(a, b, c, uint8_t(outline_[size_t(a)] | outline_[size_t(b)] << 1 | outline_[size_t(c)] << 2), out);
  }

 private:
  int TurnAt(int32_t i) const {
    return TurnSign(points_[size_t(prev_[size_t(i)])], points_[size_t(i)], points_[size_t(next_[size_t(i)])]);
  }

  static void Emit(int32_t a, int32_t b, int32_t c, uint8_t flags, std::vector<PolygonTriangle>& out) {
    PolygonTriangle t;
    t.corner[0] = a;
    t.corner[1] = b;
    t.corner[2] = c;
    t.edgeFlags = flags;
    out.push_back(t);
  }

  // Chains the nodes that share a place into circular lists (samePlace_).
  void LinkSamePlaces() {
    std::vector<int32_t> order(points_.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [this](int32_t l, int32_t r) {
      const Point2 &a = points_[size_t(l)], &b = points_[size_t(r)];
      return a.x < b.x || (a.x == b.x && (a.y < b.y || (a.y == b.y && l < r)));
    });
    samePlace_.resize(points_.size());
    size_t run = 0;
    for (size_t i = 0; i < order.size(); ++i) {
      const bool last = i + 1 == order.size() ||
                        !SamePlace(points_[size_t(order[i])], points_[size_t(order[i + 1])]);
      samePlace_[size_t(order[i])] = last ? order[run] : order[i + 1];
      if (last) run = i + 1;
    }
  }

  // Reflex nodes are looked up by x: those of the start in reflexByX_,
  // sorted; a node that turns reflex later (only outlines that cross
  // themselves make one) in lateReflex_. Entries of nodes no longer reflex
  // are skipped, and swept out once they are most of the list.
  void SetReflex(int32_t i, bool reflex) {
    const bool was = reflex_[size_t(i)];
    reflex_[size_t(i)] = reflex;
    if (!sorted_ || was == reflex) return;
    if (reflex) {
      if (!listed_[size_t(i)]) List(i);
    } else if (++stale_ * 2 > reflexByX_.size() + lateReflex_.size() + 64) {
      SortReflexByX();
    }
  }

  void List(int32_t i) {
    listed_[size_t(i)] = 1;
    (sorted_ ? lateReflex_ : reflexByX_).push_back(i);
  }

  void SortReflexByX() {
    reflexByX_.insert(reflexByX_.end(), lateReflex_.begin(), lateReflex_.end());
    lateReflex_.clear();
    std::erase_if(reflexByX_, [this](int32_t r) {
      const bool keep = reflex_[size_t(r)] && !removed_[size_t(r)];
      if (!keep) listed_[size_t(r)] = 0;
      return !keep;
    });
    std::sort(reflexByX_.begin(), reflexByX_.end(),
              [this](int32_t l, int32_t r) { return points_[size_t(l)].x < points_[size_t(r)].x; });
    stale_ = 0;
    sorted_ = true;
  }

  // True when the reflex node r (not one of the ear's) lies inside the ear
  // or on its border, and not at one of its corners.
  bool Blocks(int32_t r, const Point2 (&corner)[3], double minY, double maxY) const {
    if (!reflex_[size_t(r)] || removed_[size_t(r)]) return false;
    const Point2& p = points_[size_t(r)];
    if (p.y < minY || p.y > maxY) return false;
    if (SamePlace(p, corner[0]) || SamePlace(p, corner[1]) || SamePlace(p, corner[2])) return false;
    return Turn(corner[0], corner[1], p) >= 0 && Turn(corner[1], corner[2], p) >= 0 &&
           Turn(corner[2], corner[0], p) >= 0;
  }

  void Unlink(int32_t i) {
    const size_t s = size_t(i);
    removed_[s] = 1;
    if (reflex_[s]) SetReflex(i, false);
    next_[size_t(prev_[s])] = next_[s];
    prev_[size_t(next_[s])] = prev_[s];
    --remaining_;
  }

  // Takes the pending nodes (whose neighbours changed): drops those that add
  // no area, their outline flags merged into the edge that replaces them,
  // and marks the others reflex or not.
  void Settle() {
    while (!pending_.empty()) {
      const int32_t i = pending_.back();
      pending_.pop_back();
      if (remaining_ < 3) {
        pending_.clear();
        return;
      }
      if (removed_[size_t(i)]) continue;
      const int turn = TurnAt(i);
      if (turn != 0) {
        SetReflex(i, turn < 0);
        continue;
      }
      const int32_t a = prev_[size_t(i)], c = next_[size_t(i)];
      outline_[size_t(a)] = outline_[size_t(a)] & outline_[size_t(i)];
      Unlink(i);
      pending_.push_back(a);
      pending_.push_back(c);
    }
  }

  // True when the direction d lies strictly inside the angle that opens
  // counter-clockwise from `from` to `to` (less than half a turn).
  static bool InsideAngle(const Point2& d, const Point2& from, const Point2& to) {
    return Cross(from.x, from.y, d.x, d.y) > 0 && Cross(d.x, d.y, to.x, to.y) > 0;
  }

  bool EdgeLeavesInto(int32_t q, const Point2& here, const Point2& from, const Point2& to) const {
    for (const int32_t end : {next_[size_t(q)], prev_[size_t(q)]}) {
      const Point2& p = points_[size_t(end)];
      if (InsideAngle({p.x - here.x, p.y - here.y}, from, to)) return true;
    }
    return false;
  }

  bool IsEar(int32_t b) {
    const int32_t a = prev_[size_t(b)], c = next_[size_t(b)];
    if (!(TurnAt(b) > 0)) return false;
    const int32_t ear[3] = {a, b, c};
    const Point2 corner[3] = {points_[size_t(a)], points_[size_t(b)], points_[size_t(c)]};
    // Nodes at the ear's corners.
    for (int k = 0; k < 3; ++k) {
      const Point2& here = corner[k];
      const Point2& toNext = corner[(k + 1) % 3];
      const Point2& toPrev = corner[(k + 2) % 3];
      const Point2 from{toNext.x - here.x, toNext.y - here.y}, to{toPrev.x - here.x, toPrev.y - here.y};
      for (int32_t q = samePlace_[size_t(ear[k])]; q != ear[k]; q = samePlace_[size_t(q)]) {
        ++spent_;
        if (removed_[size_t(q)] || q == a || q == b || q == c) continue;
        if (EdgeLeavesInto(q, here, from, to)) return false;
      }
    }
    // Reflex nodes anywhere else.
    const double minX = std::min({corner[0].x, corner[1].x, corner[2].x});
    const double maxX = std::max({corner[0].x, corner[1].x, corner[2].x});
    const double minY = std::min({corner[0].y, corner[1].y, corner[2].y});
    const double maxY = std::max({corner[0].y, corner[1].y, corner[2].y});
    auto first = std::lower_bound(reflexByX_.begin(), reflexByX_.end(), minX,
                                  [this](int32_t r, double x) { return points_[size_t(r)].x < x; });
    for (auto it = first; it != reflexByX_.end() && points_[size_t(*it)].x <= maxX; ++it) {
      ++spent_;
      if (Blocks(*it, corner, minY, maxY)) return false;
    }
    for (int32_t r : lateReflex_) {
      ++spent_;
      const double x = points_[size_t(r)].x;
      if (x >= minX && x <= maxX && Blocks(r, corner, minY, maxY)) return false;
    }
    return true;
  }

  // The first node from b on whose corner the outline turns left, or -1.
  int32_t NextLeftTurn(int32_t b) const {
    for (size_t k = 0; k < remaining_; ++k, b = next_[size_t(b)])
      if (TurnAt(b) > 0) return b;
    return -1;
  }

  std::vector<Point2> points_;
  std::vector<int32_t> prev_, next_;   // the ring
  std::vector<int32_t> samePlace_;     // the next node at the same place (itself when alone)
  std::vector<uint8_t> outline_;       // the edge node -> next lies on the polygon's outline
  std::vector<uint8_t> removed_, reflex_;
  std::vector<int32_t> reflexByX_, lateReflex_;
  std::vector<uint8_t> listed_;  // in reflexByX_ or lateReflex_
  size_t stale_ = 0;             // entries of nodes no longer reflex
  bool sorted_ = false;
  std::vector<int32_t> pending_;
  size_t remaining_ = 0;
  uint64_t spent_ = 0, allowance_ = 0;
};

}  // namespace

void TriangulatePolygon(std::span<const std::array<float, 3>> corners, std::vector<PolygonTriangle>& out) {
  if (corners.size() < 3) return;
  PolygonPlane plane;
  if (!plane.Fit(corners)) return;
  if (FanCoversPolygon(corners, plane)) {
    AppendFan(corners.size(), out);
    return;
  }
  EarClipper(corners, plane).Run(out);
}

void TriangulateIndexedPolygon(std::span<const std::array<float, 3>> vertices, std::span<const int32_t> polygon,
                               std::vector<std::array<float, 3>>& corners, std::vector<PolygonTriangle>& out) {
  corners.clear();
  for (int32_t v : polygon) corners.push_back(vertices[size_t(v)]);
  const size_t first = out.size();
  TriangulatePolygon(corners, out);
  for (size_t i = first; i < out.size(); ++i)
    for (int32_t& c : out[i].corner) c = polygon[size_t(c)];
}
