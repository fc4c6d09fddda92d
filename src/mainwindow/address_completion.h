#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>

class QCompleter;
class QLineEdit;
class QStringListModel;
class QThread;

namespace pelmoa {

// Address auto-completion for the address box: a drop-down of known addresses that contain
// what the user has typed. The browser history under home is read on a thread of its own, so
// the window never waits for it; more addresses (the registered list, addresses of runs) are
// added at any time.
class AddressCompletion : public QObject {
  Q_OBJECT

 public:
  AddressCompletion(QLineEdit* box, const QString& home, QObject* parent = nullptr);
  ~AddressCompletion() override;

  // Adds addresses that are not known yet; earlier ones keep their place.
  void AddAddresses(const QStringList& addresses);
  QStringList Addresses() const;
  bool HistoryLoaded() const { return history_loaded_; }
  QCompleter* completer() const { return completer_; }

 signals:
  void HistoryLoadFinished();

 private:
  QStringListModel* model_;
  QCompleter* completer_;
  std::shared_ptr<std::atomic<bool>> stop_;
  QPointer<QThread> loader_;
  bool history_loaded_ = false;
};

}  // namespace pelmoa
