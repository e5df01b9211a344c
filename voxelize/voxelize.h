// The voxelization engine: turns one triangle mesh into a VoxObject, one part
// per level of detail, and a whole scene into a ZorvelDatabase.
//
// Usage:
//
//   MemoryConversionHost host;                  // or the program's own host
//   auto flat = std::make_unique<Material>();   // kind Flat
//   host.AddMaterial(std::move(flat));
//   MeshObject mesh;                            // vertices, faces (material 0)
//   mesh.gridSteps = {0.1f, 0.15f};             // two levels, finest first
//   mesh.smoothing = {2, 2};
//   mesh.matrices = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
//   mesh.locations = {{0, 0, 0}};
//   mesh.frameFlags = {0};
//   host.AddObject(mesh);
//   PaletteSettings settings;                   // no palette file: flat columns
//   if (PreparePalette(host, settings) != 0) return;
//   ZorvelizedObject result;
//   if (ZorvelizeObject(host, *host.objects[0], {}, result) != 0) return;  // reported
//   // result.voxObject: the joined parts; result.pose: matrix and centre
//   ReleaseMaterials(host);
//
// or, for a whole scene, host.conversionFlags = kFlagGeometry | kFlagAnimation
// and host.Convert(*database).
//
// The pipeline of one level (ZorvelizeMesh): pose the mesh (the current
// frame's matrix, or the stretch of frame 0's), choose an odd grid with an
// empty margin, compute face normals, bring the vertices into grid units,
// slice every triangle into sample points deposited as voxels, flood the
// empty cells from outside slice by slice and delete the voxels the flood did
// not reach, thin the shell, smooth the normals, then string the voxels into
// chains inside division boxes and encode them as moves.
//
// Ownership: the engine reads the mesh and writes only its face normals and
// (per level copy) its posed vertices; materials are fetched and handed back
// through the host; all working memory goes through the host's Allocate and
// Free and is given back before a call returns, on failure too.
// Errors: 0 or -1 (or an empty part); every message goes to the host's
// ReportError, spelled in voxelize/messages.h. A set stop flag, or a nonzero
// answer of PlotPoint or StepProgress, ends the run with -1.
// Untrusted input: meshes may come from files. Non-finite vertices, vertex
// and texture indices outside their arrays, a grid step that is not a
// positive number and grids of more than 4096 cells on a side are refused
// with a message before anything is allocated.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "palette/material_source.h"
#include "voxelize/conversion_host.h"
#include "voxelize/mesh_object.h"

struct ZorvelDatabase;

// The two layouts of a part. The plug-in's engine writes the zero int32
// before the trailer, carries the fix points in the trailer and takes any
// number of chains; the authoring program's has no zero int32, always the
// one-byte trailer 0 and at most 1024 chains ("Too many chains").
enum class PartLayout : uint8_t { Plugin, Authoring };

inline constexpr int kMaxGridSide = 4096;
inline constexpr int kAuthoringMaxChains = 1024;

// Where the mesh was put for voxelizing: the voxelization matrix U (row
// after row), the centre c of the box of U v over all vertices, and the grid
// of the last level voxelized.
struct MeshPose {
  std::array<float, 9> matrix = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::array<float, 3> centre = {0, 0, 0};
  std::array<int, 3> dims = {0, 0, 0};
};

struct ZorvelizeOptions {
  PartLayout layout = PartLayout::Plugin;
};

// Voxelizes one mesh at one level: returns the part (its head's size and next
// offset hold its own length), or an empty vector after a report. The mesh's
// vertices are posed and scaled in place and its face normals written, so
// callers pass a copy. With a null mesh: "No mesh to convert".
std::vector<uint8_t> ZorvelizeMesh(ConversionHost& host, MeshObject* mesh, float gridStep, int smoothing,
                                   const ZorvelizeOptions& options = {}, MeshPose* pose = nullptr);

// The pose alone (what ZorvelizeMesh would choose), for the placement of an
// object whose geometry is not wanted. 0 or -1 after a report.
int ComputeMeshPose(ConversionHost& host, const MeshObject& mesh, MeshPose& pose);

struct ZorvelizedObject {
  std::vector<uint8_t> voxObject;  // the levels joined, finest first
  MeshPose pose;
};

// Every level of the object: textures of the textured materials its faces
// use are prepared first and released after the last level, each level runs
// on its own copy of the mesh, and the parts are joined into one VoxObject.
// 0 or -1 after a report.
int ZorvelizeObject(ConversionHost& host, const MeshObject& object, const ZorvelizeOptions& options,
                    ZorvelizedObject& result);

// The placement of the sprite in each of `frameCount` frames: matrix
// R_f = M_f V (V the inverse of the voxelization matrix U), location
// R_f c + T_f, flag 0. Frames the mesh has no sample for repeat its last one
// (or identity at the origin when it has none).
struct ObjectPlacement {
  std::vector<uint8_t> flags;
  std::vector<std::array<float, 3>> locations;
  std::vector<std::array<float, 9>> matrices;
  int32_t parent = -1;
  std::array<float, 3> pivot = {0, 0, 0};  // U P - c
};
void ComputePlacement(const MeshObject& object, const MeshPose& pose, int frameCount, ObjectPlacement& placement);

// Joins parts, finest first, into one VoxObject (kind bit 0 on all but the
// last, sizes to the end of the block). The authoring layout stores 0 as the
// last part's next offset. False for no parts or more than 16.
bool JoinLevels(const std::vector<std::vector<uint8_t>>& parts, PartLayout layout, std::vector<uint8_t>& voxObject);

// A whole scene: what ConversionHost::Convert runs, with the choices the
// host's record does not hold.
struct SceneOptions {
  ZorvelizeOptions zorvelize;
  PaletteSettings palette;  // source None: flat columns only
};
int ConvertScene(ConversionHost& host, ZorvelDatabase& database, const SceneOptions& options);

// ---- Wavefront OBJ meshes ----

// Reads the v and f lines of an OBJ text (other lines are ignored): "v/vt/vn"
// index forms use the vertex index, negative indices count back from the last
// vertex read, a polygon of more than three vertices is split by
// TriangulatePolygon (the fan (0, i+1, i+2) when it is convex, ear clipping
// otherwise; no triangles of zero area), every face gets material 0.
// Returns false with a message naming the line.
bool ReadObjMesh(std::string_view text, MeshObject& mesh, std::string& error);
