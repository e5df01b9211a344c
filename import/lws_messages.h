// Every message and progress caption of the LightWave importer, spelled
// once. Tests compare against these constants.
#pragma once

namespace lws::msg {

// Progress captions.
inline constexpr const char* LoadingLws = "Loading LWS file...";
inline constexpr const char* CalculatingAnimation = "Calculating animation...";

// The scene text ("LWS file, line 12: expected an integer, found abc").
inline constexpr const char* CantReadScene = "Can't read LWS file";
inline constexpr const char* UnexpectedEnd = "LWS file ends unexpectedly";
inline constexpr const char* SceneLine = "LWS file, line";
inline constexpr const char* TokenTooLong = "token too long";
inline constexpr const char* ExpectedInteger = "expected an integer, found";
inline constexpr const char* ExpectedNumber = "expected a number, found";
inline constexpr const char* ExpectedKeyword = "expected";
inline constexpr const char* Found = "found";
inline constexpr const char* NegativeKeyCount = "negative key count";
// Frames times objects beyond what an import keeps in memory.
inline constexpr const char* TooManyPlacements = "LWS file: too many frames for its objects";
inline constexpr const char* TooMuchGeometry = "LWS file: its objects hold too many points and polygons";
// Object links, each followed by the object's name.
inline constexpr const char* ParentOutOfRange = "Parent object index out of range in object";
inline constexpr const char* ParentLoop = "Parent objects form a loop at object";

// Object files. A file that cannot be loaded ends the object list: the
// objects before it are kept, and this warning names the file and why.
inline constexpr const char* ObjectNotLoaded = "Object file not loaded, the objects from here on are left out:";
inline constexpr const char* ObjectNotFound = "file not found";
inline constexpr const char* NotLwob = "not a LightWave object file";
inline constexpr const char* LwobDamaged = "damaged LightWave object file";
inline constexpr const char* PolygonVertex = "a polygon names a vertex that does not exist";
inline constexpr const char* PolygonSurface = "a polygon names a surface that does not exist";

// The debug dump of every LightWave import.
inline constexpr const char* TlwsFileName = "tlws.out";
inline constexpr const char* CantWriteTlws = "Can't write tlws.out:";

}  // namespace lws::msg
