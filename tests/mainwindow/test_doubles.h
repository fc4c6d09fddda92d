#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "desktop/image_viewer.h"
#include "desktop/prompter.h"

namespace pelmoa::testing {

// Answers message boxes from a queue (the first button offered when it runs dry) and records
// every box it was asked to show.
class FakePrompter : public Prompter {
 public:
  struct Box {
    QWidget* parent;
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
  };

  QMessageBox::StandardButton Show(QWidget* parent, const QString& title, const QString& text,
                                   QMessageBox::Icon icon,
                                   QMessageBox::StandardButtons buttons) override {
    boxes.push_back({parent, title, text, icon, buttons});
    if (on_show) on_show();
    if (!answers.empty()) {
      const auto a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
  }

  std::vector<Box> boxes;
  std::deque<QMessageBox::StandardButton> answers;
  // Called while the box would be up.
  std::function<void()> on_show;
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
