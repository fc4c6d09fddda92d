#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "desktop/image_viewer.h"
#include "fake_prompter.h"
#include "harvest/net/transfer.h"
#include "mainwindow/frm_main.h"
#include "test_settings.h"

namespace pelmoa::testing {

// The base of a main-window test class: each case gets empty settings of its own, message
// boxes answered by prompter_, and a window opened on them. A class that needs more set-up
// declares its own init() and cleanup() and calls NewCase(), Open() and EndCase().
class MainWindowTest : public QObject {
  Q_OBJECT

 protected:
  static constexpr int kRunTimeoutMs = 20000;

  // Fresh settings and prompter, no window yet.
  void NewCase();
  // Opens the window on the settings, shown and exposed; after window_.reset(), the next
  // start of the program.
  void Open(TransferOptions options = {});
  // Waits for a run in progress to end, then closes the window and drops the settings.
  void EndCase();
  // Presses ぺ～る！ and waits for the run to finish; false when it does not in time.
  [[nodiscard]] bool RunAndWait();

  std::unique_ptr<TestSettings> settings_;
  FakePrompter prompter_;
  std::unique_ptr<frmMain> window_;

 private slots:
  // The program's fonts, as main() sets them up.
  void initTestCase();
  void init();
  void cleanup();
};

// Records what the window asks of the viewer.
class FakeViewer : public ImageViewer {
 public:
  void ShowFrame() override { calls.push_back("frame"); }
  void ShowImage(const std::string& folder, const std::string& file_name, int i) override {
    calls.push_back("image:" + folder + "|" + file_name + "|" + std::to_string(i));
  }
  void CreatePngLoader() override { calls.push_back("png+"); }
  void ReleasePngLoader() override { calls.push_back("png-"); }
  void CloseAll() override { calls.push_back("close-all"); }

  int Count(const std::string& call) const {
    int n = 0;
    for (const auto& c : calls) n += c == call;
    return n;
  }
  std::vector<std::string> calls;
};

}  // namespace pelmoa::testing
