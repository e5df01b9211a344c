// Every message text of the file layer, spelled once. Tests compare against
// these constants.
#pragma once

namespace zvl::msg {

// Chunk primitives and the reader.
inline constexpr const char* ReadError = "Read error";
inline constexpr const char* WriteError = "Write error";
inline constexpr const char* SeekError = "Seek error";
inline constexpr const char* ReadingFile = "Reading file";
inline constexpr const char* BadFileFormat = "Bad file format";
inline constexpr const char* NoRoom = "No room";
inline constexpr const char* NumberOfObjectsMismatch = "Number of objects mismatch";
inline constexpr const char* ErrorReadingUserData = "Error reading user data chunk";
inline constexpr const char* ErrorWritingUserData = "Error writing user data chunk";

// Writer, one per chunk.
inline constexpr const char* OpenMain = "Can't open main chunk";
inline constexpr const char* OpenVersion = "Can't open version chunk";
inline constexpr const char* WriteVersion = "Can't write version chunk";
inline constexpr const char* OpenDatabaseName = "Can't open data base name chunk";
inline constexpr const char* WriteDatabaseName = "Can't write data base name chunk";
inline constexpr const char* OpenPalette = "Can't open palette chunk";
inline constexpr const char* OpenPaletteName = "Can't open palette name chunk";
inline constexpr const char* WritePaletteName = "Can't write palette name chunk";
inline constexpr const char* OpenPaletteEntry = "Can't open palette entry chunk";
inline constexpr const char* WritePaletteEntry = "Can't write palette entry chunk";
inline constexpr const char* OpenMaterial = "Can't open material chunk";
inline constexpr const char* WriteMaterial = "Can't write material chunk";
inline constexpr const char* OpenScene = "Can't open scene chunk";
inline constexpr const char* OpenSceneName = "Can't open scene name chunk";
inline constexpr const char* WriteSceneName = "Can't write scene name chunk";
inline constexpr const char* OpenObjectCounter = "Can't open object counter chunk";
inline constexpr const char* WriteObjectCounter = "Can't write object counter chunk";
inline constexpr const char* OpenFrameCounter = "Can't open frame counter chunk";
inline constexpr const char* WriteFrameCounter = "Can't write frame counter chunk";
inline constexpr const char* OpenObject = "Can't open object chunk";
inline constexpr const char* OpenObjectName = "Can't open object name chunk";
inline constexpr const char* WriteObjectName = "Can't write object name chunk";
inline constexpr const char* OpenGeometry = "Can't open geometry chunk";
inline constexpr const char* OpenVoxObject = "Can't open vox object chunk";
inline constexpr const char* WriteVoxObject = "Can't write vox object";
inline constexpr const char* OpenVoxObjectSize = "Can't open vox object size chunk";
inline constexpr const char* WriteVoxObjectSize = "Can't write vox object size chunk";
inline constexpr const char* WriteVoxObjectHead = "Can't write vox object head";
inline constexpr const char* WriteVoxObjectBody = "Can't write vox object body";
inline constexpr const char* OpenAuxObjectData = "Can't open aux object data chunk";
inline constexpr const char* OpenAuxObjectId = "Can't open aux object ID chunk";
inline constexpr const char* WriteAuxObjectId = "Can't write aux object ID";
inline constexpr const char* OpenAuxObject = "Can't open aux object chunk";
inline constexpr const char* WriteAuxObjectHead = "Can't write aux object head";
inline constexpr const char* WriteAuxObjectBody = "Can't write aux object body";
inline constexpr const char* OpenAnimation = "Can't open animation chunk";
inline constexpr const char* OpenObjectFlag = "Can't open object flag chunk";
inline constexpr const char* WriteObjectFlag = "Can't write object flag chunk";
inline constexpr const char* OpenObjectLocation = "Can't open object location chunk";
inline constexpr const char* WriteObjectLocation = "Can't write object location chunk";
inline constexpr const char* OpenObjectMatrix = "Can't open object matrix chunk";
inline constexpr const char* WriteObjectMatrix = "Can't write object matrix chunk";
inline constexpr const char* OpenLinkTree = "Can't open link tree chunk";
inline constexpr const char* OpenLinkFlags = "Can't open link flags chunk";
inline constexpr const char* WriteLinkFlags = "Can't write link flags chunk";
inline constexpr const char* OpenObjectParent = "Can't open object parent chunk";
inline constexpr const char* WriteObjectParent = "Can't write object parent chunk";
inline constexpr const char* OpenObjectPivot = "Can't open object pivot chunk";
inline constexpr const char* WriteObjectPivot = "Can't write object pivot chunk";

// Building and writing a database whose contents do not fit together.
inline constexpr const char* VoxObjectSizeMismatch = "Vox object size does not match its head";
inline constexpr const char* AnimatedLinkWithoutFrames = "Animated link needs the frames of the animation";
inline constexpr const char* ColorTableNeedsNewerVersion = "Format version 7.0 has no colour table";
inline constexpr const char* ChunkTooLarge = "Chunk larger than 2 GiB";

// Writing a whole file beside its target.
inline constexpr const char* CantOpenOutput = "Can't open output file";
inline constexpr const char* CantReplaceOutput = "Can't replace output file";
inline constexpr const char* OutputNotRegularFile = "Output is not a regular file";

}  // namespace zvl::msg
