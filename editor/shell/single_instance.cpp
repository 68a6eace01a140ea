#include "shell/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QtEndian>

#include <unistd.h>

namespace vantrell {

namespace {

// How long a connection attempt may take before the socket counts as stale.
constexpr int kProbeTimeoutMs = 1000;

// Per-connection state, kept as dynamic properties of the socket: the bytes
// received so far, and whether the handlers run or have run.
constexpr const char* kBufferProperty = "vantrellHandOverBuffer";

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : SingleInstance(DefaultServerName(), parent) {}

SingleInstance::SingleInstance(const QString& serverName, QObject* parent)
    : QObject(parent), serverName_(serverName) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultServerName() {
  return QStringLiteral("Vantrell-") + QString::number(::getuid());
}

bool SingleInstance::Listen() {
  auto* server = new QLocalServer(this);
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server->listen(serverName_)) {
    errorText_ = server->errorString();
    delete server;
    return false;
  }
  server_ = server;
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  return true;
}

bool SingleInstance::TryBecomePrimary() {
  if (server_ != nullptr) return true;
  errorText_.clear();
  // The look and the take-over below are one step for every start of this
  // user: two starts at the same moment must not both find nobody and both
  // listen (the second would replace the first one's socket file).
  QLockFile lock(QDir(QDir::tempPath()).filePath(serverName_ + QStringLiteral(".lock")));
  lock.setStaleLockTime(0);  // stale only when the process holding it has gone
  if (!lock.tryLock(10 * kProbeTimeoutMs)) {
    errorText_ = QStringLiteral("the start-up lock of %1 stays taken").arg(serverName_);
    return false;
  }
  // Listening alone cannot tell: with access options QLocalServer replaces
  // an existing socket file instead of failing. So ask first.
  QLocalSocket probe;
  probe.connectToServer(serverName_);
  if (probe.waitForConnected(kProbeTimeoutMs)) {
    probe.disconnectFromServer();
    return false;  // another instance answers
  }
  // Nobody answers: no socket file, or one left by an instance that ended
  // without removing it (a crash).
  QLocalServer::removeServer(serverName_);
  return Listen();
}

bool SingleInstance::HandOver(const QString& firstFileOrEmpty, int timeoutMs) {
  errorText_.clear();
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(timeoutMs)) {
    errorText_ = socket.errorString();
    return false;
  }
  const QByteArray name = firstFileOrEmpty.toUtf8();
  char header[4];
  qToBigEndian(static_cast<quint32>(name.size()), header);
  socket.write(header, sizeof header);
  socket.write(name);
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(timeoutMs)) {
      errorText_ = socket.errorString();
      return false;
    }
  }
  // The running instance answers once it has processed the name.
  while (socket.bytesAvailable() < 1) {
    if (!socket.waitForReadyRead(timeoutMs)) {
      errorText_ = socket.errorString();
      return false;
    }
  }
  char answer = 0;
  if (!socket.getChar(&answer) || answer != kAcknowledge) {
    errorText_ = QStringLiteral("unexpected answer from the running instance");
    return false;
  }
  socket.disconnectFromServer();
  return true;
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
    // Until it has answered, a connection is deleted only here, after its
    // handlers have returned; a client that goes away early is dropped then.
    connect(socket, &QLocalSocket::disconnected, socket, [socket] {
      if (!socket->property("vantrellBusy").toBool()) socket->deleteLater();
    });
    if (socket->bytesAvailable() > 0) OnReadyRead(socket);
  }
}

void SingleInstance::OnReadyRead(QLocalSocket* socket) {
  if (socket->property("vantrellBusy").toBool() || socket->property("vantrellDone").toBool()) {
    socket->readAll();  // nothing more is expected on this connection
    return;
  }
  QByteArray buffer = socket->property(kBufferProperty).toByteArray() + socket->readAll();
  if (buffer.size() < 4) {
    socket->setProperty(kBufferProperty, buffer);
    return;
  }
  const quint32 length = qFromBigEndian<quint32>(buffer.constData());
  if (length > kMaxNameBytes) {
    socket->abort();  // not one of ours
    socket->deleteLater();
    return;
  }
  if (static_cast<quint32>(buffer.size()) < 4 + length) {
    socket->setProperty(kBufferProperty, buffer);
    return;
  }
  socket->setProperty(kBufferProperty, QVariant());
  const QString path = QString::fromUtf8(buffer.constData() + 4, static_cast<qsizetype>(length));

  // Handlers may run a nested event loop (a message box); the connection
  // stays alive meanwhile.
  socket->setProperty("vantrellBusy", true);
  QPointer<QLocalSocket> guard(socket);
  emit fileHandedOver(path);
  if (guard.isNull()) return;
  socket->setProperty("vantrellBusy", false);
  socket->setProperty("vantrellDone", true);
  if (socket->state() != QLocalSocket::ConnectedState) {
    socket->deleteLater();
    return;
  }
  socket->putChar(kAcknowledge);
  socket->flush();
  socket->disconnectFromServer();  // the disconnected handler deletes it
}

}  // namespace vantrell
