#pragma once

// One running instance per user. The first start listens on a local socket
// named per user; a later start connects, hands over its first file name
// (or an empty name: just come to the front) and waits until the running
// instance has processed it before it exits.
//
// Wire form of a hand-over: a 32-bit big-endian byte count, then the name
// in UTF-8; the running instance answers one byte (kAcknowledge) after its
// fileHandedOver handlers have returned.

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace vantrell {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  static constexpr char kAcknowledge = 0x06;
  static constexpr int kDefaultTimeoutMs = 30000;
  // Longest name accepted from another instance, in bytes.
  static constexpr quint32 kMaxNameBytes = 64 * 1024;

  // The server of this user: "Vantrell-" followed by the user id.
  explicit SingleInstance(QObject* parent = nullptr);
  // A server with another name (tests).
  explicit SingleInstance(const QString& serverName, QObject* parent = nullptr);
  ~SingleInstance() override;

  [[nodiscard]] static QString DefaultServerName();
  [[nodiscard]] const QString& ServerName() const { return serverName_; }
  [[nodiscard]] bool IsPrimary() const { return server_ != nullptr; }

  // Starts listening unless another instance of this user answers. A socket
  // file that nobody answers on (left by a crashed instance) is removed and
  // taken over. False when another instance runs, or when the server could
  // not be created at all (ErrorText() then says why).
  bool TryBecomePrimary();
  // Hands the name over to the running instance and returns once it has
  // acknowledged; false when no instance answers or the acknowledgement does
  // not come within the time limit.
  bool HandOver(const QString& firstFileOrEmpty, int timeoutMs = kDefaultTimeoutMs);

  [[nodiscard]] const QString& ErrorText() const { return errorText_; }

 signals:
  // One signal per hand-over received by the primary instance; an empty path
  // asks only to come to the front.
  void fileHandedOver(const QString& path);

 private:
  bool Listen();
  void OnNewConnection();
  void OnReadyRead(QLocalSocket* socket);

  QString serverName_;
  QLocalServer* server_ = nullptr;
  QString errorText_;
};

}  // namespace vantrell
