#include "address_completion.h"

#include <QCompleter>
#include <QLineEdit>
#include <QSet>
#include <QStringListModel>
#include <QThread>

#include "mainwindow/history_reader.h"

namespace pelmoa {

AddressCompletion::AddressCompletion(QLineEdit* box, const QString& home, QObject* parent)
    : QObject(parent),
      model_(new QStringListModel(this)),
      completer_(new QCompleter(model_, this)),
      stop_(std::make_shared<std::atomic<bool>>(false)) {
  completer_->setCaseSensitivity(Qt::CaseInsensitive);
  completer_->setFilterMode(Qt::MatchContains);
  completer_->setCompletionMode(QCompleter::PopupCompletion);
  completer_->setMaxVisibleItems(12);
  box->setCompleter(completer_);

  // The thread owns its result and its stop flag. It is deleted through the event loop once
  // it has finished, or by the destructor when no event loop ran since.
  auto result = std::make_shared<QStringList>();
  QThread* loader = QThread::create([home, result, stop = stop_] {
    *result = ReadHistoryAddresses(home, stop.get());
  });
  connect(loader, &QThread::finished, loader, &QObject::deleteLater);
  connect(loader, &QThread::finished, this, [this, result] {
    AddAddresses(*result);
    history_loaded_ = true;
    emit HistoryLoadFinished();
  });
  loader_ = loader;
  loader->start(QThread::LowPriority);
}

AddressCompletion::~AddressCompletion() {
  // The loader checks the flag between history rows, so the wait is short.
  stop_->store(true);
  if (loader_) {
    loader_->wait();
    delete loader_.data();
  }
}

void AddressCompletion::AddAddresses(const QStringList& addresses) {
  QStringList list = model_->stringList();
  QSet<QString> known(list.cbegin(), list.cend());
  bool changed = false;
  for (const QString& a : addresses) {
    if (a.isEmpty() || known.contains(a)) continue;
    known.insert(a);
    list.append(a);
    changed = true;
  }
  if (changed) model_->setStringList(list);
}

QStringList AddressCompletion::Addresses() const { return model_->stringList(); }

}  // namespace pelmoa
