// The Wavefront OBJ reader of the command-line tool, the fuzz target and the
// benchmark: vertices and faces only.
#include <charconv>
#include <string>

#include "palette/polygon_triangulation.h"
#include "voxelize/voxelize.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// Splits a line into fields separated by blanks.
class Fields {
 public:
  explicit Fields(std::string_view line) : rest_(line) {}
  bool next(std::string_view& field) {
    size_t i = 0;
    while (i < rest_.size() && IsSpace(rest_[i])) ++i;
    if (i == rest_.size()) return false;
    size_t j = i;
    while (j < rest_.size() && !IsSpace(rest_[j])) ++j;
    field = rest_.substr(i, j - i);
    rest_ = rest_.substr(j);
    return true;
  }

 private:
  std::string_view rest_;
};

bool ParseFloat(std::string_view text, float& value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// The vertex index of "v", "v/vt", "v//vn" or "v/vt/vn", 1-based or negative
// (back from the last vertex read), as a 0-based index.
bool ParseIndex(std::string_view text, size_t vertexCount, int32_t& index) {
  const size_t slash = text.find('/');
  if (slash != std::string_view::npos) text = text.substr(0, slash);
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value == 0) return false;
  if (value < 0) value += (long long)vertexCount;
  else
    value -= 1;
  if (value < 0 || value > INT32_MAX) return false;
  index = int32_t(value);
  return true;
}

// Appends the triangles of one face. A face that names a vertex the file
// does not hold is fanned as it stands; the engine refuses the index.
void AppendFaceTriangles(std::span<const int32_t> polygon, MeshObject& mesh,
                         std::vector<std::array<float, 3>>& corners, std::vector<PolygonTriangle>& pieces) {
  auto add = [&mesh](int32_t a, int32_t b, int32_t c) {
    MeshFace face;
    face.v[0] = a;
    face.v[1] = b;
    face.v[2] = c;
    mesh.faces.push_back(face);
  };
  bool known = true;
  for (int32_t v : polygon) known = known && size_t(v) < mesh.vertices.size();
  if (polygon.size() == 3 || !known) {
    for (size_t i = 0; i + 2 < polygon.size(); ++i) add(polygon[0], polygon[i + 1], polygon[i + 2]);
    return;
  }
  pieces.clear();
  TriangulateIndexedPolygon(mesh.vertices, polygon, corners, pieces);
  for (const PolygonTriangle& t : pieces) add(t.corner[0], t.corner[1], t.corner[2]);
}

}  // namespace

bool ReadObjMesh(std::string_view text, MeshObject& mesh, std::string& error) {
  size_t lineNumber = 0;
  // The faces, split into triangles once every vertex is read (a face may
  // name a vertex that comes after it): faceIndices[faceStarts[k] ..
  // faceStarts[k + 1]) is face k.
  std::vector<int32_t> faceIndices;
  std::vector<size_t> faceStarts{0};
  while (!text.empty()) {
    ++lineNumber;
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    Fields fields(line);
    std::string_view keyword;
    if (!fields.next(keyword)) continue;
    if (keyword == "v") {
      std::array<float, 3> v;
      std::string_view field;
      for (float& c : v)
        if (!fields.next(field) || !ParseFloat(field, c)) {
          error = "line " + std::to_string(lineNumber) + ": bad vertex";
          return false;
        }
      mesh.vertices.push_back(v);
    } else if (keyword == "f") {
      std::string_view field;
      while (fields.next(field)) {
        int32_t index;
        if (!ParseIndex(field, mesh.vertices.size(), index)) {
          error = "line " + std::to_string(lineNumber) + ": bad face index";
          return false;
        }
        faceIndices.push_back(index);
      }
      if (faceIndices.size() - faceStarts.back() < 3) {
        error = "line " + std::to_string(lineNumber) + ": a face needs three vertices";
        return false;
      }
      faceStarts.push_back(faceIndices.size());
    }
  }
  std::vector<std::array<float, 3>> corners;
  std::vector<PolygonTriangle> pieces;
  const std::span<const int32_t> all(faceIndices);
  for (size_t k = 0; k + 1 < faceStarts.size(); ++k)
    AppendFaceTriangles(all.subspan(faceStarts[k], faceStarts[k + 1] - faceStarts[k]), mesh, corners, pieces);
  return true;
}
