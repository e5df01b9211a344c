// The palette and materials library: the palette builder that turns a
// scene's materials into the ZorvelPalette and ColorTable16 blocks, ACT
// palette files, texture images (BMP, PNG, JPEG), LightWave image-map
// projections and texture sampling.
//
// Usage:
//
//   class Scene : public MaterialSource { ... };   // the caller's materials
//   Scene scene;
//   PaletteSettings settings;
//   settings.source = PaletteSourceKind::ActFile;
//   settings.path = "main.act";
//   settings.start = 1;
//   settings.end = 200;
//   if (PreparePalette(scene, settings) != 0) return;  // reported, materials handed back
//   int column = ColourIndex(scene.Palette(), nullptr, 0);  // flat column of material 0
//   ...                                                      // voxelize
//   CopyPaletteBlock(scene, database);
//   CopyColorTable(scene, database);
//   ReleaseMaterials(scene);
//
// The builder in order: every material is fetched; materials no face uses
// are dropped (redirection -1); equal materials are merged, each leading to
// the highest-indexed equal one through the redirection table; then the
// palette is taken from the chosen source and the columns are built: one
// flat column per remaining flat material after the L palette columns, 24
// shades each, as RGB555 in the colour table and as nearest palette entries
// in the 8-bit shade table.
//
// Columns of 3D pixels: a flat material's 3D pixels take the column of the
// material that survives merging (ColourIndex follows the redirections), so
// unused and merged materials never shift another material's column. With no
// palette file the range is empty: NearestPaletteEntry answers 0 and a true
// colour takes the nearest flat column. A ZVL palette source brings its own
// range; the settings' start and end are for ACT files.
//
// Settings: PreparePalette takes the PaletteSettings from its caller; the
// conversion host keeps them with its other options. The authoring program's
// variant (parameters in percent, prototype defaults of its importers, its
// wording of the too-many-materials message) is chosen in the same settings.
//
// Errors: 0 or -1 as the engine reports them; every message goes to the
// source's ReportError and the notes to ReportInfo, spelled in
// palette/messages.h.
//
// Polygons: TriangulatePolygon (palette/polygon_triangulation.h) splits one
// polygon of a scene file into triangles for the importers and the OBJ
// reader: the fan for a convex polygon, ear clipping for any other.
#pragma once

#include "palette/material.h"
#include "palette/material_source.h"
#include "palette/palette_tables.h"
#include "palette/polygon_triangulation.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ZorvelDatabase;

// ---- The builder ----

// Runs the whole preparation. 0, or -1 after a report with every material
// still held handed back.
int PreparePalette(MaterialSource& source, const PaletteSettings& settings);
// Puts a copy of the palette block into the database (nothing when the
// palette did not come from a file): 0, or -1 after "No room for Zorvel palette".
int CopyPaletteBlock(MaterialSource& source, ZorvelDatabase& database);
// Puts a copy of the 16-bit colour table into the database: 0, or -1 after
// "No room for Zorvel 16bpp color table".
int CopyColorTable(MaterialSource& source, ZorvelDatabase& database);
// Hands back every material still in the table and empties the tables.
void ReleaseMaterials(MaterialSource& source);
// The 768 colour bytes of the palette (R, G, B per entry).
void GetPaletteRgb(const PaletteTables& tables, uint8_t destination[768]);

// The authoring program's builder: parameters in percent, its wording of the
// too-many-materials message, and the prototype defaults of one of its two
// importer variants (the caller's ReportInfo shows notes captioned "Warning").
enum class AuthoringDefaults : uint8_t {
  Specular128,             // specular (128, 128, 128), shininess 20 %, strength 40 %
  Specular208FlatAmbient,  // specular (208, 208, 208), shininess 20 %, strength 10 %, flat ambient (13, 13, 13)
};
PaletteSettings AuthoringPaletteSettings(AuthoringDefaults defaults);

// ---- Gradients ----

inline constexpr int kGradientColours = 25;  // computed; the first 24 are stored
using GradientColours = std::array<std::array<float, 3>, kGradientColours>;

// The inputs of the lighting model: colours 0..255, parameters 0..1.
struct GradientParameters {
  uint8_t shadingType = 2;
  float ambient[3] = {0, 0, 0};
  float diffuse[3] = {0, 0, 0};
  float specular[3] = {0, 0, 0};
  float shininess = 0;
  float shininessStrength = 0;
  float selfIllumination = 0;
};

// The 25 colours of a gradient, darkest first (float RGB, not clamped).
void ComputeGradient(const GradientParameters& parameters, GradientColours& colours);
// A gradient channel as a byte: above 255 gives 255, otherwise truncated.
uint8_t ClampGradientChannel(float value);
// The gradient of a material, its parameters divided by 100 when they are
// percentages; ambientOverride replaces its ambient colour.
GradientParameters MaterialGradientParameters(const Material& material, bool percentParameters,
                                              const uint8_t* ambientOverride = nullptr);
// Clamps and packs shades 0 .. 23 into a column of the colour table.
void StoreGradientColumn(const GradientColours& colours, ColorTable16& table, int column);

// ---- ACT palettes ----

inline constexpr size_t kActPaletteSize = 768;
// Reads the first 768 bytes of an ACT file: 0, or -1 with the message in
// error ("Error reading ACT palette file").
int LoadActPalette(const std::string& path, uint8_t colours[768], std::string& error);
// Writes an ACT file of 768 bytes: 0 or ZvlFailure (error text of the file layer).
int WriteActPalette(const std::string& path, const uint8_t colours[768]);

// ---- Paths ----

// The part after the last folder separator ("/" or "\"), or the whole path.
std::string_view FileNamePart(std::string_view path);

// ---- BMP textures ----

inline constexpr int kMaxTextureSide = 16384;
// Reads an 8-bit or 24-bit BMP file into image: true, or false with the
// message in error.
bool LoadBmpTexture(const std::string& path, TextureImage& image, std::string& error,
                    BmpPathStyle style = BmpPathStyle::Joined);
// The same over bytes in memory (named path in messages).
bool DecodeBmpTexture(const uint8_t* bytes, size_t size, const std::string& path, TextureImage& image,
                      std::string& error, BmpPathStyle style = BmpPathStyle::Joined);
// Writes image as a bottom-up BMP file: 24-bit, or 8-bit with the given 256
// R, G, B colours (every pixel must be one of them). 0 or ZvlFailure.
int WriteBmpTexture(const std::string& path, const TextureImage& image, const uint8_t* colours768 = nullptr);
std::vector<uint8_t> EncodeBmpTexture(const TextureImage& image, const uint8_t* colours768 = nullptr,
                                      bool topDown = false);

// ---- Texture images: BMP, PNG and JPEG ----
//
// Every texture file is read through LoadTextureImage (or, over bytes in
// memory, DecodeTextureImage). The format is taken from the content, never
// from the name: the PNG signature, the JPEG start (FF D8 FF), else BMP,
// whose reader above keeps its own checks and messages. PNG and JPEG go
// through stb_image; greyscale, palette and alpha pictures become RGB (alpha
// dropped). Their size is read from the header first, and a picture larger
// than kMaxTextureSide a side or kMaxTexturePixels texels is refused before
// decoding, and so is a JPEG picture larger than its bytes can describe
// (beyond 1 M texels, more than 1024 texels a byte). A damaged or
// unsupported PNG or JPEG gives the BMP damaged-file text with ": " and the
// decoder's reason appended.
//
//   TextureImage image;
//   std::string error;
//   if (!LoadTextureImage("maps/CWALL02.JPG", image, error)) Report(error);

enum class TextureFormat : uint8_t { Bmp, Png, Jpeg };
inline constexpr uint64_t kMaxTexturePixels = uint64_t(64) << 20;
inline constexpr uint64_t kMaxTextureFileBytes = uint64_t(256) << 20;

// The format the first bytes announce (Bmp for anything else).
TextureFormat SniffTextureFormat(const uint8_t* bytes, size_t size);
// The path of an existing file: path itself when it exists, else the file
// in the same folder whose name equals the name part ignoring letter case
// (the first in sorted order when several do; the folder is taken as
// given), else "".
std::string FindFileIgnoringCase(const std::string& path);
// Reads a texture file of any of the three formats: true, or false with the
// message in error. The path is found as FindFileIgnoringCase does (the
// LightWave style first keeps only the file name part, as LoadBmpTexture).
bool LoadTextureImage(const std::string& path, TextureImage& image, std::string& error,
                      BmpPathStyle style = BmpPathStyle::Joined);
// The same over bytes in memory (named path in messages).
bool DecodeTextureImage(const uint8_t* bytes, size_t size, const std::string& path, TextureImage& image,
                        std::string& error, BmpPathStyle style = BmpPathStyle::Joined);

// ---- Image maps ----

enum class ImageMapKind : int {
  Planar = 0, Cylindrical = 1, Spherical = 2, Cubic = 3, FrontProjection = 4,
  Checkerboard, Grid, Dots, Marble, Wood, Underwater, FractalNoise, FractalBumps, BumpArray, Crust, Veins,
  Unknown = 16,
};
// The kind named in a surface file; Unknown for a name not in the table.
ImageMapKind ImageMapKindFromName(std::string_view name);
// True for the kinds that are images (0 .. 4), false for procedural ones.
bool IsImageMap(ImageMapKind kind);

// A LightWave surface texture.
struct ImageMapTexture {
  ImageMapKind kind = ImageMapKind::Planar;
  int axis = 2;                     // bit 0 = x, bit 1 = y, neither = z
  double size[3] = {1, 1, 1};       // sx, sy, sz
  double centre[3] = {0, 0, 0};     // cx, cy, cz
  double widthWrap = 1.0, heightWrap = 1.0;  // 1.0 = no repeat
  std::string imageFile;
};
// Texture coordinates of an object-space point. Cubic and front projection
// are projected as planar along the texture axis.
void ProjectImageMap(const ImageMapTexture& texture, const float point[3], float& u, float& v);

// ---- Sampling ----

// The nearest texel at (u, v), repeating; v = 0 is the bottom row. An empty
// image gives black.
void SampleTexture(const TextureImage& image, float u, float v, uint8_t rgb[3]);
// The texel of a material: black for a flat one.
void SampleTexture(const Material& material, float u, float v, uint8_t rgb[3]);
