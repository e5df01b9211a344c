// Every message of the batch language, spelled once. Tests compare against
// these constants.
#pragma once

namespace zvlplay::msg {

// Parse errors: shown as BatchErrorFormat with the line number.
inline constexpr const char* BatchErrorFormat = "Error in batch file\nLine %d\n%s";
inline constexpr const char* InvalidNumber = "Invalid number";
inline constexpr const char* IllegalKeyword = "Illegal keyword";
inline constexpr const char* KeywordExpected = "Keyword expected";
inline constexpr const char* FileDoesNotExist = "File does not exist";
inline constexpr const char* ObjSmoothAfterObjectOnly = "OBJ_SMOOTH is valid after OBJECT string only";
inline constexpr const char* LoadInsideJob = "File load inside job is prohibited";
inline constexpr const char* NoObjectsInJob = "No objects to zorvelate";
inline constexpr const char* EndJobExpected = "END_JOB expected";
inline constexpr const char* TooManyLevels = "Too many levels";
inline constexpr const char* ObjectNameExpected = "Object name expected";
inline constexpr const char* NumberExpected = "Number expected";
inline constexpr const char* LevelsMismatch = "Number of levels mismatch";
inline constexpr const char* StringExpected = "String expected";
inline constexpr const char* NoJobInFile = "No job in batch file";
inline constexpr const char* TooLongLine = "Too long line";
inline constexpr const char* TooManyTokens = "Too many tokens";
inline constexpr const char* ReadError = "Read error";
inline constexpr const char* NoRoomForParserBuffer = "No room for parser buffer";

// Running a parsed batch (followed by a blank and the name where one is given).
inline constexpr const char* CantLoadScene = "Batch file run-time error: can't load scene";
inline constexpr const char* NoOutputFile = "Batch run-time error : no outut file specified";
inline constexpr const char* NoObjectsInScene = "Batch run-time error: no objects in scene";
inline constexpr const char* NoObjectNamed = "Batch run-time error: no object";
inline constexpr const char* NoObjectWithNumber = "Batch run-time error : can't find object with number";

// Writing a batch file.
inline constexpr const char* CantCreateFile = "Can't create file";
inline constexpr const char* ErrorWritingBatch = "Error writing batch file";

}  // namespace zvlplay::msg
