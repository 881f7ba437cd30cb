// qt_single_instance.h — one running copy of a program per user.
//
// The first copy listens on a local socket named after the program and the user; a second
// copy that finds it asks it to come to the front and should then end.  A stale socket
// left by a crashed copy is removed and taken over.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace platform {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // `name` identifies the program ("tavik-hpc2k").
  explicit SingleInstance(const QString& name, QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when another copy runs: it has been asked to come to the front (waits at most
  // `timeoutMs` for it to answer) and this copy should end.  False: this copy is now the
  // one running and emits activationRequested() whenever a later copy starts.
  bool AnotherCopyRuns(int timeoutMs = 1000);

  // The local socket name used (for tests).
  QString socketName() const { return socketName_; }

  // Waits until no copy of the program `name` runs any more, at most `timeoutMs`; true
  // when none runs.  A running copy is asked nothing.  The updater waits so before it
  // starts the host again: a host still closing would take the new one for a second copy.
  static bool WaitUntilNoneRuns(const QString& name, int timeoutMs);

 Q_SIGNALS:
  void activationRequested();

 private:
  void OnNewConnection();

  QString socketName_;
  QLocalServer* server_ = nullptr;
};

}  // namespace platform
