// The scene as the host shows it to a plug-in: the interface to the host,
// nodes in a tree, and the objects nodes evaluate to.
#pragma once

#include <cstdint>
#include <string>

#include "maxplugin/sdk/cstr.h"
#include "maxplugin/sdk/material.h"
#include "maxplugin/sdk/mesh.h"
#include "maxplugin/sdk/scene_types.h"

// What a node is at one time: a geometric object that can become a triangle
// mesh, a helper, or anything else the host has.
class Object {
 public:
  virtual ~Object() = default;
  virtual SClass_ID SuperClassID() const = 0;
  virtual Class_ID ClassID() const = 0;
  virtual bool CanConvertToTriMesh() const { return false; }
  // The object's triangle mesh at the time, or null. mustRelease tells
  // whether the mesh was made for the caller, who then deletes it.
  virtual Mesh* ConvertToTriMesh(TimeValue, bool& mustRelease) {
    mustRelease = false;
    return nullptr;
  }
};

// The result of evaluating a node.
struct ObjectState {
  Object* obj = nullptr;
};

// The node's wire colour: 0x00BBGGRR.
using WireColor = uint32_t;

class INode {
 public:
  virtual ~INode() = default;
  virtual const char* GetName() const = 0;
  virtual int NumberOfChildren() const = 0;
  virtual INode* GetChildNode(int i) const = 0;
  virtual INode* GetParentNode() const = 0;
  // The node's transform into world space at the time.
  virtual Matrix3 GetNodeTM(TimeValue t) const = 0;
  // The transform of the node's object into world space: the object offset
  // followed by the node transform.
  virtual Matrix3 GetObjectTM(TimeValue t) const = 0;
  virtual ObjectState EvalWorldState(TimeValue t) = 0;
  virtual Mtl* GetMtl() const = 0;
  virtual WireColor GetWireColor() const = 0;
  virtual bool IsHidden() const = 0;
  virtual bool Selected() const = 0;
  virtual bool IsRootNode() const { return GetParentNode() == nullptr; }
};

enum class MessageKind { Info, Warning, Error };

// The host itself.
class Interface {
 public:
  virtual ~Interface() = default;
  virtual INode* GetRootNode() = 0;
  virtual TimeValue GetTime() const = 0;
  virtual Interval GetAnimRange() const = 0;
  virtual int GetTicksPerFrame() const = 0;
  // The open scene's file name (without folder) and full path; empty for none.
  virtual CStr GetCurFileName() const = 0;
  virtual CStr GetCurFilePath() const = 0;
  // Replaces the scene with the one in the file; false when it cannot.
  virtual bool LoadFromFile(const char* path) = 0;
  // A folder the plug-in may write temporary files into.
  virtual std::string GetTempDir() const = 0;
  // Shows or records a message of the plug-in.
  virtual void ReportMessage(MessageKind kind, const char* caption, const char* text) = 0;
};

// The interface of the host this module runs in: the host sets it at start,
// a plug-in when its utility opens. GetTicksPerFrame asks it, or gives the
// default frame length when there is none.
void SetCOREInterface(Interface* ip);
Interface* GetCOREInterface();
int GetTicksPerFrame();
