#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "folder/folder_browser.h"

namespace pelmoa::testing {

// Stands in for the modal folder dialog: records how it was opened and answers with the
// scripted choice (nothing = the user cancelled).
class ScriptedFolderBrowser : public FolderBrowser {
 public:
  struct Call {
    QWidget* owner;
    QString title;
    QString initial;
  };

  std::optional<QString> Browse(QWidget* owner, const QString& title,
                                const QString& initial) override {
    calls.append({owner, title, initial});
    return answer;
  }

  std::optional<QString> answer;
  QList<Call> calls;
};

}  // namespace pelmoa::testing
