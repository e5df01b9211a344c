// The renderer: draws the 3D pixels of Zorvel objects into a caller's colour
// buffer (8-bit palette indices or 16-bit RGB) and a 16-bit depth buffer,
// with shading, shadows and levels of detail.
//
// Usage: frame 3 of a ZVL file as a PNG picture, fitted and coloured as the
// player shows a file it opens (render/png_image.h writes the picture).
//
//   if (ZvlSetup(&ZvlDefaultIoFunctions()) != 0) return Fail(ZvlGetErrorText());
//   ZvlBase scene;                              // the scene on the drawing side
//   if (scene.load("scene.zvl") != 0) return Fail(ZvlGetErrorText());
//   CameraView view;                            // 16-bit image, depth buffer, orbit camera
//   view.create(640, 480);
//   const ZvlRgb8 bg = ZvlDefaultBackground;
//   view.fillAll(ZvlPackRgb555(bg.r, bg.g, bg.b));
//   scene.setCamera(&view);
//   scene.setFrame(3);                          // the frame the fit measures
//   scene.fitToView(ZvlFitFocalDistance, ZvlFitScale);
//   scene.render(view.output(), 3);             // the drawn rectangle, or nothing
//   const zvl::render::RgbImage picture =
//       zvl::render::ExpandImage16(view.pixels(), view.pitch(), view.width(), view.height(), view.redMask());
//   std::string error;
//   if (!zvl::render::WritePng("frame3.png", picture, error)) return Fail(error);
//
// Layers, bottom up:
//  - setup and the scene handler (ZvlSetup, ScnHandler): the process-wide
//    I/O functions, the processor type, the one shared SplatTile, and the
//    handler that binds the renderer to one pair of buffers with one colour
//    table;
//  - drawing (ZvlDrawObject, ZvlDrawShadow, ZvlSelectLevel): one part of one
//    object, splatted into the tile and composited into the frame;
//  - frame composition (SceneState, ZvlRenderScene): one frame of a scene,
//    every object placed, projected, drawn and shadowed;
//  - the drawing-side owner of a loaded scene (ZvlBase) and the orbit camera
//    with its output image (CameraView), which the player and the plug-in's
//    viewer build on.
//
// Errors: functions return 0 for success and 1 (or null, or false) for
// failure, with the message in the file layer's error text
// (ZvlGetErrorText). Every message is spelled in render/messages.h.
//
// Threads: the renderer is single-threaded. The I/O functions, the CpuType,
// the SplatTile and the live-handler count are process-wide; one frame is
// drawn at a time.
//
// Coordinates: screen x grows to the right, y downwards, in pixels; depth in
// 16-bit units, smaller nearer (unless a handler asks for the inverted
// convention). Angles are radians.
//
// Tests, benchmarks and fuzzing reach the processor probe, the writer-set
// override and the tile's lifetime through render/render_internal.h.
//
// Untrusted input: parts handed to ZvlDrawObject and ZvlDrawShadow must have
// been listed by VoxListParts and passed ZvlCheckPart (ZvlBase does both at
// load). Whatever their moves say, the renderer never writes outside the
// SplatTile or the output buffers: tile cells are addressed from 8-bit
// integer parts, and every screen write is inside the clip rectangle, which
// is always cut to the buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "render/messages.h"
#include "render/scene_defaults.h"
#include "zvlfile/zvlfile.h"

// ---------------------------------------------------------------------------
// Setup and the processor type

// CpuType values (one byte, process-wide; 0 until the first ZvlSetup).
// Only types 1 to 4 can render.
inline constexpr uint8_t ZvlCpuNone = 0;
inline constexpr uint8_t ZvlCpu486 = 1;            // no CPUID, not "GenuineIntel", or CPUID level below 1
inline constexpr uint8_t ZvlCpuPentium = 2;        // "GenuineIntel" family 5 without MMX
inline constexpr uint8_t ZvlCpuPentiumMmx = 3;     // "GenuineIntel" family 5 with MMX: the packed writer set
inline constexpr uint8_t ZvlCpuPentiumPro = 4;     // "GenuineIntel" family 6 and later (base family 15 included)
inline constexpr uint8_t ZvlCpuUnsupported = 255;  // alignment-check flag fixed, or Intel family 4 and below

// Installs the six I/O functions (they are handed to the file layer too, so
// call this before reading any file), classifies the processor and clears
// the file layer's user data hooks. Returns 0, or 1 with "No setup
// parameter" (null), "Setup is empty" (an entry null; the previous
// functions stay) or "CPU not supported" (the functions stay installed).
int ZvlSetup(const ZvlIoFunctions* functions);
// The CpuType found by the last ZvlSetup.
uint8_t ZvlGetCpuType();
// The text the player shows for a CpuType ("Intel Pentium(r) Pro", ...).
const char* ZvlCpuTypeText(uint8_t cpuType);

// ---------------------------------------------------------------------------
// Rectangles

// A rectangle of pixels or tile cells: inclusive corners and the size.
// Empty is (32767, 32767, -1, -1, 0, 0). Used for drawn rectangles
// (min x, min y, max x, max y, width, height) and clip rectangles
// (x0, y0, x1, y1, width, height).
struct ZvlRect {
  int16_t x0 = 32767, y0 = 32767, x1 = -1, y1 = -1, width = 0, height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
  friend bool operator==(const ZvlRect&, const ZvlRect&) = default;
};
inline constexpr ZvlRect ZvlEmptyRect{};
// The rectangle from (x0, y0) to (x1, y1) inclusive; empty when x1 < x0 or
// y1 < y0.
inline ZvlRect ZvlMakeRect(int x0, int y0, int x1, int y1) {
  if (x1 < x0 || y1 < y0) return ZvlRect{};
  return ZvlRect{int16_t(x0), int16_t(y0), int16_t(x1), int16_t(y1), int16_t(x1 - x0 + 1), int16_t(y1 - y0 + 1)};
}
// Union of two rectangles; an empty one does not count.
ZvlRect ZvlUniteRect(const ZvlRect& a, const ZvlRect& b);

// ---------------------------------------------------------------------------
// The scene handler

// The output a handler draws into. Owned by the caller and referenced (not
// copied) by the handler, which reads it at every draw: the caller may move
// the buffers or change their size between frames (the pitches live in the
// handler). The colour buffer holds colourPitch * height pixels and the
// depth buffer depthPitch * height entries.
struct FrameBufferDesc {
  void* colorBuffer = nullptr;      // first pixel, top row first
  uint16_t* depthBuffer = nullptr;  // first entry, same geometry
  int16_t width = 0;                // pixels per row that may be drawn
  int16_t height = 0;               // rows that may be drawn
  uint8_t pixelSize = 2;            // bytes per colour pixel: 1 (palette index) or 2 (16-bit RGB)
};

// A ColorIndex is shade << 8 | palette index (shade 0..23): 6144 are used.
inline constexpr int ZvlColorIndexCount = 24 * 256;
inline constexpr int ZvlShadowTableSize8 = 256;     // bytes
inline constexpr int ZvlShadowTableSize16 = 65536;  // uint16 entries

// Depth conventions (ScnHandler flags bit 0).
inline constexpr uint32_t ZvlInvertedDepth = 1;
// Normal convention: smaller is nearer, background 65535, shadow mark 65534.
// Inverted: the renderer stores 65535 - depth, larger is nearer, background
// 0, shadow mark 1, and an object's screen z is taken as 65535 - z.
inline constexpr uint16_t ZvlDepthBackground = 0xFFFF;
inline constexpr uint16_t ZvlDepthShadowMark = 0xFFFE;
inline constexpr uint16_t ZvlDepthBackgroundInverted = 0;
inline constexpr uint16_t ZvlDepthShadowMarkInverted = 1;

struct ScnHandler;
// Called before each object is drawn by ZvlRenderScene, with what will be
// given to ZvlDrawObject, and after it. The handler's hookContext is the
// caller's.
enum class DrawMode : uint8_t;
using ZvlPreDrawHook = void (*)(ScnHandler* handler, int object, const float position[3], const float matrix[9],
                                const ZvlRect& clip, const float light[3], float scale, float zscale, DrawMode mode);
using ZvlPostDrawHook = void (*)(ScnHandler* handler, int object);

// The eleven per-pixel routines chosen once per handler (see writers.h).
struct WriterSet;

struct ScnHandler {
  uint32_t flags = 0;                 // bit 0: inverted depth convention
  FrameBufferDesc* buffer = nullptr;  // the output (not owned)
  ZvlRect drawn;                      // pixels written by the last draw call
  ZvlRect clip;                       // part of the buffer that may be written
  int32_t colorPitch = 0;             // pixels between colour rows
  int32_t depthPitch = 0;             // entries between depth rows
  void* colorTable = nullptr;         // owned: 6144 bytes (pixel size 1) or 6144 uint16 (2)
  void* shadowTable = nullptr;        // owned or null: 256 bytes or 65536 uint16
  ZvlPreDrawHook preDraw = nullptr;
  ZvlPostDrawHook postDraw = nullptr;
  void* hookContext = nullptr;         // for the hooks' owner
  const WriterSet* writers = nullptr;  // chosen at creation
  uint8_t pixelSize = 0;               // the pixel size the tables were made for
};

// Creates a handler for `buffer` (referenced, not copied). The colour table
// (6144 bytes at pixel size 1, 6144 uint16 at 2) is copied; the shadow table
// may be null and is copied when given (256 bytes or 65536 uint16). The clip
// rectangle is the whole buffer and both pitches are its width. Returns
// null with "No ColorTab parameter", "No room for internal buffer", "No room
// for handler", "No room for color table", "Unsupported pixel size" or "CPU
// not supported". The first handler creates the shared SplatTile.
ScnHandler* ZvlCreateScnHandler(uint32_t flags, const void* colorTable, const void* shadowTable,
                                FrameBufferDesc* buffer);
// Frees the handler and its tables; the last live handler frees the tile.
// Null is ignored.
void ZvlDestroyScnHandler(ScnHandler* handler);
// Copies a new shadow table into the handler's own. Returns 0, or 1 with
// "Unsupported pixel size", or "Handler has no shadow table" for a handler
// created without one.
int ZvlSetShadowTable(ScnHandler* handler, const void* table);
// Rewrite the handler's 16-bit colour table between 5-5-5 (red mask 0x7C00)
// and 5-6-5 (red mask 0xF800). Return 0, or 1 with "Invalid color buffer
// depth" when the pixel size is not 2.
int ZvlColorTableTo565(ScnHandler* handler);
int ZvlColorTableTo555(ScnHandler* handler);

// ---------------------------------------------------------------------------
// Drawing one object

// How 3D pixels become screen pixels.
enum class DrawMode : uint8_t {
  Pack = 0,     // small one-point splats, composited up to 1.4142 times larger
  Fill = 1,     // one or three points per 3D pixel, magnified above scale 1
  Stretch = 2,  // half-size splat composited as 2 x 2 blocks; skipped above scale 1.4142
};

// Checks what VoxListParts leaves out: every move code is 0..25 and every 3D
// pixel lies inside its part's (simple) or chain's (complex) box. A part that
// fails must not be drawn.
bool ZvlCheckPart(const VoxPartView& part);

// Draws one part. clip: what may be written, cut to the handler's clip
// rectangle and the buffer. position: x, y in pixels from the corner of the
// clip cut to the handler's, z in depth units (a part beyond 65535 is not
// drawn; one whose far side would pass it is flattened towards it, so depths
// never wrap). matrix: the normalised screen matrix, row by row (rows screen
// x, screen y, depth). light: direction in screen space. scale: screen
// pixels per 3D pixel; zscale: depth units per 3D pixel. Afterwards
// handler->drawn holds the rectangle written (buffer coordinates) or is
// empty. No allocation.
void ZvlDrawObject(ScnHandler* handler, const VoxPartView& part, const float position[3], const float matrix[9],
                   const ZvlRect& clip, const float light[3], float scale, float zscale, DrawMode mode);
// Draws the part's shadow: marks background pixels it covers (depth still
// the background value) with the shadow mark and ShadowTable[colour]. Does
// nothing for a handler without a shadow table.
void ZvlDrawShadow(ScnHandler* handler, const VoxPartView& part, const float position[3], const float matrix[9],
                   const ZvlRect& clip, float scale, float zscale, DrawMode mode);
// The level of detail to draw: from parts[0] (the current part) towards
// coarser parts, the coarsest whose 3D pixels are not larger than a screen
// pixel (unitsPerPixel scene units, times 0.7071 in Pack and 1.4142 in
// Stretch mode). Null for an empty span.
const VoxPartView* ZvlSelectLevel(std::span<const VoxPartView> parts, float unitsPerPixel, DrawMode mode);

// ---------------------------------------------------------------------------
// Frame composition

// One object of a scene on the drawing side: its checked parts, finest
// first, and the one the level keys selected.
struct SceneObject {
  std::vector<VoxPartView> parts;  // empty when the object has no geometry
  int current = 0;                 // index into parts
};

// Per-object frame flag: the object is hidden in that frame.
inline constexpr uint8_t ZvlObjectHidden = 0x80;

// The state one frame is drawn from. Defaults are those after loading and
// after fitting (ZvlResetSceneState).
struct SceneState {
  int32_t objectCount = 0;
  int32_t frameCount = 0;                              // 0: no animation, objects at the origin unrotated
  const ObjectAnimation* animation = nullptr;          // the database's, per object
  std::vector<SceneObject> objects;                    // empty: no geometry ("pure animation")
  float worldOffset[3] = {0, 0, 0};                    // added after the world matrix
  float worldMatrix[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // row-major
  float scale = 1.0f;                                  // scene scale S
  float light[3] = {0, 0, 1};                          // given to ZvlDrawObject
  DrawMode drawMode = DrawMode::Fill;
  bool shadowsOn = false;
  float shadowDirection[3] = {0.3f, 0.3f, -1.0f};  // along which shadows are cast
  float groundHeight = 0.0f;                       // z of the plane that receives shadows
  int16_t screenOffset[3] = {0, 0, 0};             // added to every projected position
  bool busy = false;                               // set while a frame is drawn
};
// Back to the defaults, keeping the objects, the animation and shadowsOn.
void ZvlResetSceneState(SceneState& state);

// Projects a scene-space point to the screen (x, y pixels, z depth); returns
// false when the point is unusable.
struct ZvlProjection {
  bool (*project)(void* context, const float point[3], float screen[3]) = nullptr;
  void* context = nullptr;
};

// Draws frame `frame` (clamped to the animation) of the scene: every object
// not hidden in that frame, at its current level of detail adjusted to its
// on-screen size, with its shadow when shadows are on. An object hidden, not
// projectable or off the clip rectangle (more than half a tile, or a larger
// part's real reach, beyond its edges) is skipped with its shadow. Afterwards
// handler->drawn is the union of everything drawn (empty when nothing).
// Returns 0, or 1 without drawing when the scene has no geometry or a frame
// is already being drawn (the busy flag).
int ZvlRenderScene(ScnHandler* handler, SceneState& state, const ZvlProjection& projection, int frame);

// ---------------------------------------------------------------------------
// Keys of the interactive adjustments (the virtual-key codes).
namespace ZvlKey {
inline constexpr int PageUp = 0x21;
inline constexpr int PageDown = 0x22;
inline constexpr int End = 0x23;
inline constexpr int Home = 0x24;
inline constexpr int Left = 0x25;
inline constexpr int Up = 0x26;
inline constexpr int Right = 0x27;
inline constexpr int Down = 0x28;
}  // namespace ZvlKey
inline constexpr float ZvlAngleStep = 0.08726646f;  // 5 degrees per key press

enum class ZvlKeyGroup { Camera, Light, Shadow, ScenePosition, ModelRotation };

// ---------------------------------------------------------------------------
// The orbit camera and its output image

struct Camera {
  float position[3] = {0, 0, 0};                    // eye point
  float rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // rows: screen x axis, screen y axis, view direction
  float focalDistance = 400.0f;                     // D: perspective strength
  float focalScale = 1.0f;                          // F: perspective multiplier
  float elevation = 0.5236f;                        // orbit elevation (30 degrees)
  float azimuth = 0.0f;
  float distance = 300.0f;                    // orbit radius
  float targetHeight = 0.0f;                  // z of the orbit centre
  float distanceStep = 655.34f;               // change of distance per key press
  float cachedFactor = -1.0f;                 // perspective factor shared by one frame
  float depthOffset = 0.0f;                   // added to the view depth
  uint32_t perPointPerspective = 0;           // 0: one factor per frame; else one per point
  int viewportWidth = 0, viewportHeight = 0;  // screen centre = (width >> 1, height >> 1)
};

// Recomputes position and rotation from elevation, azimuth, distance and
// target height.
void ZvlOrbit(Camera& camera);
// Projects q: v = R (q - position); factor = D F / (D + v.z) for v.z > 0,
// else 1 (the cached factor instead when per-point perspective is off and it
// is positive; a negative cached factor takes this one); x = (width >> 1) +
// v.x factor, y = (height >> 1) + v.y factor, z = depth offset + v.z.
// Usable when 0 <= z <= 65000.
bool ZvlCameraProject(Camera& camera, const float q[3], float screen[3]);
// The camera key group: PageUp D + 40, PageDown D - 40 while D > 100, End
// distance + step, Home distance - step (not below 0), Left/Right azimuth
// +/- 5 degrees, Up/Down elevation +/- 5 degrees; re-runs the orbit. Returns
// false for a key the group does not use.
bool ZvlCameraKey(Camera& camera, int key);

// What a ZvlBase draws into.
struct ZvlOutput {
  void* colorBuffer = nullptr;
  int colorBits = 16;         // 8 or 16
  uint16_t redMask = 0x7C00;  // 16-bit: 0x7C00 (5-5-5) or 0xF800 (5-6-5)
  int32_t colorPitch = 0;     // pixels between rows
  uint16_t* depthBuffer = nullptr;
  int depthBits = 16;
  int32_t depthPitch = 0;  // entries between rows
  int width = 0, height = 0;
};

// The camera with a 16-bit output image and a depth buffer of its own.
class CameraView {
 public:
  CameraView() { ZvlOrbit(camera); }

  // (Re)creates image and depth buffer: rows of the width rounded up to 32
  // pixels, 5-5-5 or 5-6-5, depth filled with 0xFFFF, colour with 0. Resets
  // the camera (azimuth 0, distance 300, elevation 30 degrees, D 400, F 1,
  // target height 0) unless keepCamera. The viewport is width x height.
  // Returns false for a size outside 1..16384.
  bool create(int width, int height, bool rgb565 = false, bool keepCamera = false);

  uint16_t* pixels() { return pixels_.data(); }
  const uint16_t* pixels() const { return pixels_.data(); }
  uint16_t* depth() { return depth_.data(); }
  const uint16_t* depth() const { return depth_.data(); }
  int width() const { return width_; }
  int height() const { return height_; }
  int pitch() const { return pitch_; }  // pixels (and depth entries) per row
  uint16_t redMask() const { return redMask_; }
  ZvlOutput output();

  // Fill a rectangle (cut to the image) of the depth buffer or the image.
  void fillDepth(const ZvlRect& rect, uint16_t value);
  void fillColor(const ZvlRect& rect, uint16_t value);
  void fillAll(uint16_t color, uint16_t depth = 0xFFFF);

  bool project(const float q[3], float screen[3]) { return ZvlCameraProject(camera, q, screen); }
  ZvlProjection projection();
  bool cameraKey(int key) { return ZvlCameraKey(camera, key); }
  void orbit() { ZvlOrbit(camera); }
  void resetCamera();

  Camera camera;

 private:
  std::vector<uint16_t> pixels_, depth_;
  int width_ = 0, height_ = 0, pitch_ = 0;
  uint16_t redMask_ = 0x7C00;
};

// ---------------------------------------------------------------------------
// ZvlBase: a loaded scene on the drawing side

// Box of a scene in scene units.
struct ZvlBox {
  float min[3] = {0, 0, 0};
  float max[3] = {0, 0, 0};
};

// Owns one ZorvelDatabase, its ScnHandler and SceneState, and keeps the
// handler matched to the output it is given before each frame (8 or 16 bits,
// 5-5-5 or 5-6-5). Draws with a CameraView's camera (not owned).
class ZvlBase {
 public:
  ZvlBase();
  ~ZvlBase();
  ZvlBase(const ZvlBase&) = delete;
  ZvlBase& operator=(const ZvlBase&) = delete;

  // Reads a ZVL file, or takes a database. Every part of every object is
  // checked (VoxListParts, ZvlCheckPart); a file whose geometry does not hold
  // together is refused with "Bad file format". Returns 0, or 1 with the
  // reason in the error text (the previous scene is then kept).
  int load(const char* path);
  int load(ZvlDatabasePtr database);
  bool loaded() const { return database_ != nullptr; }
  // False for a scene of animation only.
  bool hasGeometry() const { return !state_.objects.empty(); }

  ZorvelDatabase* database() { return database_.get(); }
  const ZorvelDatabase* database() const { return database_.get(); }
  SceneState& state() { return state_; }
  const SceneState& state() const { return state_; }
  ScnHandler* handler() { return handler_; }

  void setCamera(CameraView* camera) { camera_ = camera; }
  CameraView* camera() { return camera_; }

  // Where messages of binding go besides the error text. The player shows
  // them in a message box.
  void setMessageHandler(std::function<void(const char*)> handler) { showMessage_ = std::move(handler); }

  // Matches the handler to the output: pitches, pointers and size; a new
  // handler when the pixel size changes; the colour model of the 16-bit
  // table. Reports "ZvlBase :Unsupported color buffer format", "ZvlBase
  // :Unsupported z buffer format", "ZvlBase:Unknown color model" and the
  // handler messages, these with the handler's own reason after them
  // ("zvlbase: 16bpp: Can not get scn handler: CPU not supported"); returns
  // false when it cannot draw into the output.
  bool bind(const ZvlOutput& output);
  // Draws `frame` into the output with the camera: binds, clips to the
  // whole output, sets the camera's depth offset from object 0, starts a new
  // perspective factor and calls ZvlRenderScene. Returns the drawn
  // rectangle (with align: min x and min y rounded down and the width
  // rounded up to multiples of 4), or nothing when nothing was drawn.
  // Without geometry: "Can not render pure animation".
  std::optional<ZvlRect> render(const ZvlOutput& output, int frame, bool align = false);
  // The frame of the last render (used by the model-rotation keys).
  int frame() const { return frame_; }
  void setFrame(int frame) { frame_ = frame; }

  // Level of detail k: each object's current part becomes its k-th (or its
  // last). Call fitToView afterwards as the player does.
  void selectLevel(int k);
  // Fits the scene to the camera's view: resets the SceneState (keeping
  // shadowsOn), sets the camera (D = focalDistance, azimuth 0, distance
  // 32767, step 655.34, elevation 0.3) and chooses the scene scale so that
  // the scene's diagonal spans `scale` pixels (negative: one 3D pixel of
  // object 0 per screen pixel), centred, standing on z = 0. Needs a camera.
  void fitToView(float focalDistance, float scale);
  // The box of the current parts of every object at `frame`, placed with
  // scene scale `scale` (world matrix and offset not applied).
  ZvlBox sceneBox(int frame, float scale) const;
  // The scene-position step fitting sets: a tenth of the diagonal of the
  // scene box at the current frame, times the scene scale.
  float fittedPositionStep() const;

  // The key groups. Light and shadow keys turn their direction by 5 degrees
  // (Left/Right azimuth, Up/Down elevation); scene position keys move the
  // world offset by positionStep (Left/Up x, Right/Down y, End/Home z); model
  // rotation keys turn the scene about the view axis (End/Home), the screen
  // y axis (Left/Right) or the screen x axis (Up/Down) keeping object 0 in
  // place. Camera keys go to the camera. Each returns false for a key its
  // group does not use (or without a camera where one is needed).
  bool handleKey(ZvlKeyGroup group, int key);
  bool lightKey(int key);
  bool shadowKey(int key);
  bool positionKey(int key);
  bool rotationKey(int key);
  float positionStep = 0.0f;
  float lightElevation = 0.0f, lightAzimuth = 0.0f;
  float shadowElevation = 0.0f, shadowAzimuth = 0.0f;

  // The handler's 16-bit colour table in the current colour model (empty
  // before the first 16-bit bind).
  std::span<uint16_t> colorTable16();
  uint16_t colorModel() const { return colorModel_; }  // red mask of the 16-bit table
  // The 16-bit table the scene was loaded with (5-5-5): the file's, or one
  // built from its palette.
  const std::vector<uint16_t>& loadedColorTable() const { return loadedTable_; }
  // The 65536-entry 16-bit ShadowTable the handler is made with and given
  // now (copied; a table of another size is ignored). Until one is given,
  // every entry is the colour (50, 35, 120) in 5-5-5.
  void setShadowTable(std::span<const uint16_t> table);

  // Hooks the handler calls around each object (kept when the handler is
  // recreated); context becomes handler->hookContext.
  void setDrawHooks(ZvlPreDrawHook preDraw, ZvlPostDrawHook postDraw, void* context);

  // Takes the animation (arrays and frame count) of another scene with the
  // same object count, giving it this scene's in exchange. False (nothing
  // changes) when the counts differ.
  bool attachAnimation(ZvlBase& source);

 private:
  // Shows the message, with the reason given by the layer below after it,
  // and leaves the same text in the error text.
  void report(const char* message, const std::string& cause = {});
  bool recreateHandler(int pixelSize);
  void destroyHandler();
  void buildObjects();
  void applyHooks();

  ZvlDatabasePtr database_;
  SceneState state_;
  ScnHandler* handler_ = nullptr;
  FrameBufferDesc buffer_;
  CameraView* camera_ = nullptr;
  uint16_t colorModel_ = 0x7C00;
  std::vector<uint16_t> loadedTable_;  // 6144 entries, 5-5-5
  std::vector<uint16_t> shadowTable_;  // 65536 entries
  std::function<void(const char*)> showMessage_;
  ZvlPreDrawHook preDraw_ = nullptr;
  ZvlPostDrawHook postDraw_ = nullptr;
  void* hookContext_ = nullptr;
  int frame_ = 0;
};

// The 16-bit colour table (5-5-5) built from a palette for a file without
// one: shade j of palette index i is the colour of shade-table row R (23 for
// version 7.1 and later, else 15), column i, scaled from 10 % (shade 0) to
// the full colour (shade 23).
void ZvlBuildColorTable16(const ZorvelPalette& palette, float version, uint16_t table[ZvlColorIndexCount]);
