#pragma once

#include <QDialog>
#include <QList>

#include "desktop/prompter.h"
#include "desktop/settings_store.h"
#include "sources/registered_url.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace pelmoa {

// The registered-URL window: keeps the registered list and hands one of its addresses to
// the main window's address box. The rows are a working copy; only Save stores them.
class frmRegist : public QDialog {
  Q_OBJECT

 public:
  // main_url is the main window's address box, whose text OK sets.
  frmRegist(QWidget* owner, SettingsStore& store, Prompter& prompter, QLineEdit* main_url);

  void Form_Load();
  void lvwList_Click();
  void cmdAdd_Click();
  void cmdEdit_Click();
  void cmdDel_Click();
  void cmdSave_Click();
  void cmdOK_Click();
  void cmdCancel_Click();

  // The rows as the list shows them, in order.
  QList<RegisteredUrl> Rows() const;

 private:
  void BuildControls();
  void ConnectHandlers();
  QTreeWidgetItem* SelectedRow() const;
  void SetSelectionButtons(bool enabled);
  // The checks Add and Edit share; false when the user was told why nothing happens.
  bool AcceptEditingArea();

  SettingsStore& store_;
  Prompter& prompter_;
  QLineEdit* main_url_;

  QTreeWidget* lvwList = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* txtTitle = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* txtURL = nullptr;
  QPushButton* cmdAdd = nullptr;
  QPushButton* cmdEdit = nullptr;
  QPushButton* cmdDel = nullptr;
  QPushButton* cmdSave = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;
};

// What the main window's registration button does: opens the window modally over owner
// and returns when it has closed.
void OpenRegisteredUrlWindow(QWidget* owner, SettingsStore& store, Prompter& prompter,
                             QLineEdit* main_url);

}  // namespace pelmoa
