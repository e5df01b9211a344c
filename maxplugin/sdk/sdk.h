// The host interface the plug-in is written against, and that maxhost
// implements: the host (Interface), nodes (INode), what nodes evaluate to
// (Object, ObjectState), triangle meshes (Mesh), materials (Mtl, StdMat,
// MultiMtl) with texture maps (Texmap, ShadeContext), transforms (Matrix3,
// Point3, Box3), strings (CStr), and the plug-in side: class descriptors
// (ClassDesc), utility objects (UtilityObj) and the four library exports.
//
// Usage, as a plug-in walks the scene:
//
//   void Visit(Interface& ip, INode* node) {
//     ObjectState os = node->EvalWorldState(ip.GetTime());
//     if (os.obj && os.obj->SuperClassID() == kGeomObjectClassID && os.obj->CanConvertToTriMesh()) {
//       bool release = false;
//       Mesh* mesh = os.obj->ConvertToTriMesh(ip.GetTime(), release);
//       Box3 box = mesh->getBoundingBox(nullptr);
//       (void)box;
//       if (release) delete mesh;
//     }
//     for (int i = 0; i < node->NumberOfChildren(); ++i) Visit(ip, node->GetChildNode(i));
//   }
//
// Ownership: the host owns nodes, objects, materials and maps; a mesh is the
// caller's to delete only when ConvertToTriMesh says so. Time is in ticks;
// GetTicksPerFrame turns frames into ticks.
// Library: plain C++, no Qt (a utility's panel parent is only declared).
#pragma once

#include "maxplugin/sdk/cstr.h"
#include "maxplugin/sdk/geom.h"
#include "maxplugin/sdk/material.h"
#include "maxplugin/sdk/mesh.h"
#include "maxplugin/sdk/plugin.h"
#include "maxplugin/sdk/scene.h"
#include "maxplugin/sdk/scene_types.h"
