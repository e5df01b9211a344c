// The library's face to the host: the four exports, the class descriptor of
// the one utility class, and the utility object whose panel the host shows.
#include <memory>

#include "maxplugin/messages.h"
#include "maxplugin/panel.h"
#include "maxplugin/plugin_state.h"
#include "maxplugin/sdk/plugin.h"

namespace zvlplay {

PluginState& State() {
  static PluginState state;
  return state;
}

namespace {

constexpr Class_ID kZorvelatorClassID(0x1844359, 0x2434777);
constexpr unsigned long kLibraryVersion = 110;

class ZorvelatorUtility : public UtilityObj {
 public:
  void BeginEditParams(Interface* ip, IUtil* iu, QWidget* panelParent) override {
    SetCOREInterface(ip);
    EndPanel();
    panel_ = new ZorvelatorPanel(*ip, iu, panelParent);
    panel_->show();
  }
  void EndEditParams(Interface*, IUtil*) override { EndPanel(); }

 private:
  void EndPanel() {
    if (panel_) panel_->deleteLater();  // its own "Close" button may be calling
    panel_ = nullptr;
  }
  ZorvelatorPanel* panel_ = nullptr;
};

class ZorvelatorClassDesc : public ClassDesc {
 public:
  int IsPublic() override { return 1; }
  void* Create(bool) override { return static_cast<UtilityObj*>(&utility_); }
  int BeginCreate() override { return 0; }
  int EndCreate() override { return 0; }
  const char* ClassName() override { return msg::PluginName; }
  SClass_ID SuperClassID() override { return kUtilityClassID; }
  Class_ID ClassID() override { return kZorvelatorClassID; }
  const char* Category() override { return ""; }
  int OkToCreate() override { return 1; }
  int HasClassParams() override { return 0; }
  void EditClassParams() override {}
  void ResetClassParams(bool) override {}
  int NumActionTables() override { return 0; }
  int GetActionTable() override { return 0; }
  int IsManipulator() override { return 0; }

 private:
  ZorvelatorUtility utility_;
};

ZorvelatorClassDesc& Descriptor() {
  static ZorvelatorClassDesc descriptor;
  return descriptor;
}

}  // namespace
}  // namespace zvlplay

extern "C" {

__attribute__((visibility("default"))) const char* LibDescription() { return zvlplay::msg::PluginName; }
__attribute__((visibility("default"))) int LibNumberClasses() { return 1; }
__attribute__((visibility("default"))) ClassDesc* LibClassDesc(int i) { return i == 0 ? &zvlplay::Descriptor() : nullptr; }
__attribute__((visibility("default"))) unsigned long LibVersion() { return zvlplay::kLibraryVersion; }

}
