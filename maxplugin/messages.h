// Every message text of the plug-in, spelled once. Tests compare against
// these constants.
#pragma once

namespace zvlplay::msg {

// Captions.
inline constexpr const char* ErrorCaption = "ERROR";
inline constexpr const char* PluginName = "Zorvelator";
inline constexpr const char* ProgressCaption = "Zorvelation";
inline constexpr const char* VersionText = "Version Beta 3.0";

// Node collection and scene size.
inline constexpr const char* NoObjectsToZorvelate = "No object(s) to zorvelate";
inline constexpr const char* NoObjectsToConvert = "No object(s) to convert";
inline constexpr const char* NoRoomForNodeArray = "No room for node array";
inline constexpr const char* NoBoundingBox = "Object has no bounding box";

// One object ("%s %s" with the node's name).
inline constexpr const char* NoRoomToGetObject = "No room to get object";
inline constexpr const char* CantGetMesh = "Can't get mesh for object";
inline constexpr const char* NoVertices = "Object has no vertices";
inline constexpr const char* NoFaces = "Object has no faces";
inline constexpr const char* TooManyFaces = "Object has too many faces";
inline constexpr const char* InvalidVertices = "Object has vertices that are not numbers";
inline constexpr const char* InvalidFaces = "Object has a face with an invalid vertex index";
inline constexpr const char* InvalidTextureFaces = "Object has invalid texture faces";
inline constexpr const char* MaterialNotInTable = "Can't find material in table for object";
inline constexpr const char* NoRoomForFixpoints = "No room for fixpoints, node";
inline constexpr const char* InvalidFixpointNumber = "Invalid fixpoint number for node";
inline constexpr const char* WrongFixpointSequence = "Wrong fixpoint sequence for node";

// Material table.
inline constexpr const char* NoRoomForRenumTable = "No room for material renum table";
inline constexpr const char* TooComplexMaterial = "Too complex material";
inline constexpr const char* UnsupportedMaterial = "Unsupported material type:";
inline constexpr const char* NoRoomForDefaultMaterial = "No room for default MAX material";
inline constexpr const char* NoRoomForSimpleMaterial = "No room for simple MAX material";

// The run.
inline constexpr const char* CantOpenToWrite = "Can't open file %s to write";
inline constexpr const char* CantParsePalettePath = "Can't parse palette path";
inline constexpr const char* CantAllocateDatabase = "Can't allocate memory for Zorvel Database";
inline constexpr const char* UnnamedScene = "Unnamed";
inline constexpr const char* TemporaryFileName = "TMPFILE.ZVL";

// Settings file.
inline constexpr const char* ErrorWritingSettings = "Error writing setting file";
inline constexpr const char* ErrorReadingSettings = "Error reading setting file";

// The panel and its dialogs.
inline constexpr const char* AboutCaption = "About Zorvelator";
inline constexpr const char* AboutText = "Zorvelator\nZVL_Play utility\n";
inline constexpr const char* BatchNotAvailable = "Batch files are not supported by this version of the plug-in";
inline constexpr const char* ResultWritten = "Zorvel file written:";
inline constexpr const char* LoadPaletteTitle = "Load Palette";
inline constexpr const char* MergeFileTitle = "Merge File";
inline constexpr const char* OutputFileTitle = "Output File";
inline constexpr const char* BatchInputTitle = "Batch File";
inline constexpr const char* BatchOutputTitle = "Batch File";
inline constexpr const char* LoadSettingsTitle = "Load Settings";
inline constexpr const char* SaveSettingsTitle = "Save Settings";
inline constexpr const char* ActiveSegmentText = "%d To %d";

}  // namespace zvlplay::msg
