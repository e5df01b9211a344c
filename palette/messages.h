// Every message text of the palette library, spelled once. Tests compare
// against these constants. Texts with a conversion are printf formats.
#pragma once

namespace palette::msg {

// The palette builder.
inline constexpr const char* NoRoomMaterialTable = "No room for material table";
inline constexpr const char* NoRoomMaterialIndexTable = "No room for material index table";
inline constexpr const char* NoRoomFlatMaterialIndexTable = "No room for flat material index table";
inline constexpr const char* NoRoomTempMaterialIndexArray = "No room for temp material index array";
inline constexpr const char* ErrorReadingActPalette = "Error reading ACT palette file";
inline constexpr const char* NoPaletteChunk = "File does not contain palette chunk";
inline constexpr const char* NoColorTableChunk = "File does not contain 16-bit gradient table chunk";
inline constexpr const char* TooManyFlatMaterials = "Too many flat materials. You should set palette length to %d";
inline constexpr const char* TooManyFlatColors = "Too many flat colors, reduce by %d";  // authoring wording
inline constexpr const char* NoTexturedMaterial = "No textured material found, using default settings";
inline constexpr const char* UsingPrototype = "Using textured material %s as prototype";
inline constexpr const char* NoRoomPalette = "No room for Zorvel palette";
inline constexpr const char* NoRoomColorTable = "No room for Zorvel 16bpp color table";
inline constexpr const char* NoRoomGradient = "No room for gradient";
inline constexpr const char* MissingMaterial = "Material %d is missing";
// The caption the authoring program gives the note about a missing textured
// material.
inline constexpr const char* WarningCaption = "Warning";

// BMP textures: the 3D Studio path joins the path into the text, the
// LightWave path formats it (%s the path, %i the bit depth).
inline constexpr const char* BmpOpenFailed = "Open failed on %s file.";
inline constexpr const char* BmpOneBitJoined = ": 1-bit bitmap are not supporting";  // "BMP file " + path + this
inline constexpr const char* BmpFourBitJoined = "4-bit bitmap are not supporting";   // "BMP file " + path + this
inline constexpr const char* BmpDepthFormatted = "BMP file %s: %i-bit bitmap are not supporting";
inline constexpr const char* BmpDamaged = "BMP file %s damaged or missing or it's format isn't supporting";
inline constexpr const char* BmpFilePrefix = "BMP file ";

// PNG and JPEG textures: the damaged-file text above, then ": " and the
// decoder's reason, or one of these (%d width, height, the side limit and
// the texel limit in M texels).
inline constexpr const char* TextureTooLarge = "picture of %dx%d texels is too large (at most %d a side, %d M texels)";
inline constexpr const char* TextureFileTooLarge = "file too large";
// %d width, height, %zu the file's bytes.
inline constexpr const char* TextureLargerThanData = "picture of %dx%d texels is larger than its %zu bytes can hold";
inline constexpr const char* TextureNoReason = "corrupt picture data";
inline constexpr const char* JpegHuffmanTable = "bad Huffman table";
inline constexpr const char* PngChunkTooLong = "chunk longer than the file";

}  // namespace palette::msg
