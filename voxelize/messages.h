// Every message and progress caption of the voxelization engine, spelled
// once. Tests compare against these constants.
#pragma once

namespace voxelize::msg {

// Whole mesh and object.
inline constexpr const char* NoMesh = "No mesh to convert";
inline constexpr const char* ProcessAborted = "Process aborted";
inline constexpr const char* ObjectCopy = "Can't allocate memory for object copy";
inline constexpr const char* ArrayOfObjects = "Can't allocate memory for array of objects";
inline constexpr const char* MaterialUsage = "No room for material usage flags";
inline constexpr const char* NoRoomComplex = "No room for complex Zorvel object";
inline constexpr const char* Animation = "Can't allocate memory for animation";
inline constexpr const char* Database = "Can't allocate memory for Zorvel Database";

// Refusals of meshes that cannot be voxelized safely.
inline constexpr const char* BadVertex = "Vertex is not a finite number";
inline constexpr const char* BadFaceIndex = "Face vertex index out of range";
inline constexpr const char* BadTextureFace = "Texture face index out of range";
inline constexpr const char* BadGridStep = "Grid step must be a positive number";
inline constexpr const char* GridTooLarge = "Grid too large: more than 4096 cells on a side";
inline constexpr const char* TooManyFixPoints = "Too many fix points";
inline constexpr const char* TooManyLevels = "Too many levels of detail";

// Slicing.
inline constexpr const char* VoxelArray = "No room for voxel array";
inline constexpr const char* AddVoxel = "Can't add voxel";
inline constexpr const char* BadVoxel = "Bad voxel";
inline constexpr const char* UnsupportedMaterial = "Unsupported material type";
inline constexpr const char* InvalidNarrowTriangle = "Invalid narrow triangle";

// Flooding.
inline constexpr const char* Slices = "No room for slices";

// Smoothing and division.
inline constexpr const char* NormalArray = "No room for normal array";
inline constexpr const char* CantDivide = "Can't divide object";

// Chains and the part.
inline constexpr const char* NewComplex = "No room for new complex Zorvel object";
inline constexpr const char* NewSimple = "No room for new simple Zorvel object";
inline constexpr const char* NewEmpty = "No room for new empty Zorvel object";
inline constexpr const char* FirstVoxel = "Can't get first 3D pixel";
inline constexpr const char* BreakInChain = "Break in chain";
inline constexpr const char* IllegalDx = "Illegal dx";
inline constexpr const char* IllegalDy = "Illegal dy";
inline constexpr const char* IllegalDz = "Illegal dz";
inline constexpr const char* MoveToItself = "Can't move to itself";
inline constexpr const char* TooManyChains = "Too many chains";

// Progress captions: the stage and the object name joined by CaptionFormat.
inline constexpr const char* CaptionFormat = "%s : %s";
inline constexpr const char* Transforming = "Transforming";
inline constexpr const char* Generation = "Zorvel generation";
inline constexpr const char* FloodingUp = "Flooding up";
inline constexpr const char* FloodingDown = "Flooding down";
inline constexpr const char* Smoothing = "Smoothing";
inline constexpr const char* CreatingObject = "Creating object";

}  // namespace voxelize::msg
