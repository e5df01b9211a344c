#include "maxplugin/sdk/scene.h"

namespace {
Interface* coreInterface = nullptr;
}

void SetCOREInterface(Interface* ip) { coreInterface = ip; }
Interface* GetCOREInterface() { return coreInterface; }

int GetTicksPerFrame() {
  return coreInterface ? coreInterface->GetTicksPerFrame() : kDefaultTicksPerSecond / kDefaultFramesPerSecond;
}
