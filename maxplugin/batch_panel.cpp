// The panel's batch input and output, the viewer after a conversion, and
// the batch export: installed into the plug-in's hooks when the library
// loads.
#include <QMessageBox>

#include "maxplugin/batch.h"
#include "maxplugin/batch_export.h"
#include "maxplugin/messages.h"
#include "maxplugin/plugin_state.h"
#include "maxplugin/preview_window.h"
#include "maxplugin/progress_dialog.h"
#include "maxplugin/viewer_window.h"

namespace zvlplay {
namespace {

std::function<void(const char*)> BoxReporter(QWidget* parent) {
  return [parent](const char* text) { QMessageBox::critical(parent, msg::ErrorCaption, QString::fromUtf8(text)); };
}

int PanelRunBatch(Interface& ip, PanelSettings& settings, QWidget* parent) {
  auto* progress = dynamic_cast<ProgressDialog*>(parent);
  // Every job's voxelizer plots into the one preview.
  PreviewWindow preview(parent ? parent->parentWidget() : nullptr, 0, 0, kPreviewWidth, kPreviewHeight);
  preview.show();
  return RunBatchFile(
      ip, settings, settings.batchInputFile, progress, BoxReporter(parent),
      [progress](ZvlPlayConverter* converter) {
        if (progress) progress->SetConverter(converter);
      },
      [&preview](Interface& host) { return std::make_unique<PreviewConverter>(host, &preview); });
}

int PanelWriteBatch(Interface& ip, PanelSettings& settings, QWidget* parent) {
  return WritePanelBatchFile(ip, settings, BoxReporter(parent));
}

const bool kInstalled = [] {
  State().runBatch = PanelRunBatch;
  State().writeBatch = PanelWriteBatch;
  // The viewer after a conversion: the output alone, or combined with the
  // merge file (its animation when geometry was made, else its geometry).
  State().openViewer = [](Interface& ip, const ViewerRequest& request, QWidget* parent) {
    const std::string written = std::string(msg::ResultWritten) + " " + request.first;
    ip.ReportMessage(MessageKind::Info, msg::PluginName, written.c_str());
    ViewerWindow::Open(request.first, request.second, parent, State().settings.geometry ? 1 : 0);
  };
  return true;
}();

}  // namespace
}  // namespace zvlplay

extern "C" __attribute__((visibility("default"))) int ZvlPlayRunBatch(Interface* ip, const char* batchPath) {
  if (!ip || !batchPath) return -1;
  SetCOREInterface(ip);
  const zvlplay::PanelSettings& settings = zvlplay::State().settings;
  return zvlplay::RunBatchFile(*ip, settings, batchPath, nullptr, [ip](const char* text) {
    ip->ReportMessage(MessageKind::Error, zvlplay::msg::ErrorCaption, text);
  });
}
