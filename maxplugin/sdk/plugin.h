// How a plug-in library meets the host: four C exports, one class
// descriptor per class, and the utility object whose panel opens in the
// host's command panel.
#pragma once

#include "maxplugin/sdk/scene.h"

class QWidget;  // the host's panel parent; the interface itself needs no widgets

// What a utility uses of the host's utility panel.
class IUtil {
 public:
  virtual ~IUtil() = default;
  virtual void CloseUtility() = 0;
};

class UtilityObj {
 public:
  virtual ~UtilityObj() = default;
  // The utility opens: it builds its panel inside panelParent.
  virtual void BeginEditParams(Interface* ip, IUtil* iu, QWidget* panelParent) = 0;
  // The utility closes: it takes its panel down.
  virtual void EndEditParams(Interface* ip, IUtil* iu) = 0;
  virtual void DeleteThis() {}
};

// A class the library offers, in slot order.
class ClassDesc {
 public:
  virtual ~ClassDesc() = default;
  virtual int IsPublic() = 0;                       // 0
  virtual void* Create(bool loading = false) = 0;   // 1: a UtilityObj* for a utility class
  virtual int BeginCreate() = 0;                    // 2
  virtual int EndCreate() = 0;                      // 3
  virtual const char* ClassName() = 0;              // 4
  virtual SClass_ID SuperClassID() = 0;             // 5
  virtual Class_ID ClassID() = 0;                   // 6
  virtual const char* Category() = 0;               // 7
  virtual int OkToCreate() = 0;                     // 8
  virtual int HasClassParams() = 0;                 // 9
  virtual void EditClassParams() = 0;               // 10
  virtual void ResetClassParams(bool fileReset = false) = 0;  // 11
  virtual int NumActionTables() = 0;                // 12
  virtual int GetActionTable() = 0;                 // 13
  virtual int IsManipulator() = 0;                  // 14
};

// The exports every plug-in library has (C linkage), and their types.
extern "C" {
using LibDescriptionFunction = const char* (*)();
using LibNumberClassesFunction = int (*)();
using LibClassDescFunction = ClassDesc* (*)(int);
using LibVersionFunction = unsigned long (*)();
}
inline constexpr const char* kLibDescriptionExport = "LibDescription";
inline constexpr const char* kLibNumberClassesExport = "LibNumberClasses";
inline constexpr const char* kLibClassDescExport = "LibClassDesc";
inline constexpr const char* kLibVersionExport = "LibVersion";
// Plug-in library file names end in this.
inline constexpr const char* kPluginExtension = ".dlu";
