#include "platform/qt_single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

namespace platform {
namespace {
constexpr char kRaiseRequest[] = "raise\n";
constexpr int kPollMs = 50;

QString SocketNameFor(const QString& name) {
  return name + QStringLiteral("-") + QString::number(getuid());
}

}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), socketName_(SocketNameFor(name)) {}

bool SingleInstance::WaitUntilNoneRuns(const QString& name, int timeoutMs) {
  const QString socketName = SocketNameFor(name);
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    QLocalSocket socket;
    socket.connectToServer(socketName);
    const bool running = socket.waitForConnected(kPollMs);
    socket.abort();
    if (!running) return true;
    if (clock.elapsed() >= timeoutMs) return false;
    QThread::msleep(kPollMs);
  }
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::AnotherCopyRuns(int timeoutMs) {
  if (server_ != nullptr) return false;
  auto askToRaise = [&] {
    QLocalSocket socket;
    socket.connectToServer(socketName_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kRaiseRequest);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
  };
  // Two copies started at the same moment take turns: the second one finds the first
  // listening once it holds the lock.
  QLockFile lock(QDir::temp().filePath(socketName_ + QStringLiteral(".lock")));
  lock.tryLock(timeoutMs);
  if (askToRaise()) return true;
  // Nobody answers: whatever socket file is left belongs to a copy that is gone.
  QLocalServer::removeServer(socketName_);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  server_->listen(socketName_);
  return false;
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (socket->readAll().contains("raise")) Q_EMIT activationRequested();
    });
  }
}

}  // namespace platform
