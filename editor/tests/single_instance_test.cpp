// The single-instance hand-over between real processes: this test process is
// the running instance, single_instance_probe the second start.
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "shell/single_instance.h"

namespace vantrell {
namespace {

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "editor_shell_tests";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
}

// Runs the event loop until every process has ended or the time is up.
bool RunUntilFinished(const std::vector<QProcess*>& processes, int timeoutMs = 20000) {
  const auto allDone = [&] {
    return std::all_of(processes.begin(), processes.end(),
                       [](QProcess* p) { return p->state() == QProcess::NotRunning; });
  };
  if (allDone()) return true;
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  for (QProcess* process : processes)
    QObject::connect(process, &QProcess::finished, &loop, [&] {
      if (allDone()) loop.quit();
    });
  timer.start(timeoutMs);
  loop.exec();
  return allDone();
}

class SingleInstanceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }

  void SetUp() override {
    static int counter = 0;
    name_ = QStringLiteral("VantrellTest-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
  }
  void TearDown() override {
    QLocalServer::removeServer(name_);
    QFile::remove(QDir(QDir::tempPath()).filePath(name_ + QStringLiteral(".lock")));
  }

  // Starts a probe with the given mode and arguments after the server name.
  std::unique_ptr<QProcess> StartProbe(const QString& mode, const QStringList& arguments = {}) {
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QStringLiteral(SINGLE_INSTANCE_PROBE), QStringList{mode, name_} + arguments);
    EXPECT_TRUE(process->waitForStarted(5000)) << process->errorString().toStdString();
    return process;
  }

  static void ExpectExitCode(QProcess& process, int code) {
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), code);
  }

  QString SocketPath() const { return QDir(QDir::tempPath()).filePath(name_); }

  QString name_;
};

TEST_F(SingleInstanceTest, SecondStartHandsOverItsNameAndWaitsForTheAcknowledgement) {
  SingleInstance primary(name_);
  ASSERT_TRUE(primary.TryBecomePrimary()) << primary.ErrorText().toStdString();

  // A name with spaces, "&" and Japanese text; the empty name only asks the
  // running instance to come to the front.
  for (const QString& handedName :
       {QStringLiteral("/tmp/データ & 資料/ファイル.bin"), QString()}) {
    SCOPED_TRACE(handedName.toStdString());
    QStringList received;
    bool probeWaited = false;
    std::unique_ptr<QProcess> probe;
    const auto connection =
        QObject::connect(&primary, &SingleInstance::fileHandedOver, [&](const QString& path) {
          received << path;
          // Not yet acknowledged: the second instance must still be waiting.
          probeWaited = !probe->waitForFinished(300);
        });
    probe = handedName.isEmpty() ? StartProbe("hand-over") : StartProbe("hand-over", {handedName});
    ASSERT_TRUE(RunUntilFinished({probe.get()}));
    QObject::disconnect(connection);

    EXPECT_EQ(received, QStringList{handedName});
    EXPECT_TRUE(probeWaited) << "the second instance ended before the acknowledgement";
    ExpectExitCode(*probe, 0);
  }
}

TEST_F(SingleInstanceTest, SecondStartsAtTheSameTimeAreEachServed) {
  SingleInstance primary(name_);
  ASSERT_TRUE(primary.TryBecomePrimary());
  QStringList received;
  QObject::connect(&primary, &SingleInstance::fileHandedOver,
                   [&](const QString& path) { received << path; });

  std::vector<std::unique_ptr<QProcess>> probes;
  for (const char* file : {"/data/a.bin", "/data/b.bin", "/data/c.bin"})
    probes.push_back(StartProbe("hand-over", {QString::fromUtf8(file)}));
  std::vector<QProcess*> running;
  for (auto& probe : probes) running.push_back(probe.get());
  ASSERT_TRUE(RunUntilFinished(running));

  for (auto& probe : probes) ExpectExitCode(*probe, 0);
  received.sort();
  EXPECT_EQ(received, (QStringList{"/data/a.bin", "/data/b.bin", "/data/c.bin"}));
}

TEST_F(SingleInstanceTest, SocketLeftByACrashedInstanceIsTakenOver) {
  auto crashed = StartProbe("crash-as-primary");
  ASSERT_TRUE(RunUntilFinished({crashed.get()}));
  ASSERT_EQ(crashed->exitStatus(), QProcess::CrashExit);
  ASSERT_EQ(crashed->readAllStandardOutput().trimmed(), "listening");
  ASSERT_TRUE(QFileInfo::exists(SocketPath())) << "the crash left no socket file";

  SingleInstance primary(name_);
  ASSERT_TRUE(primary.TryBecomePrimary()) << primary.ErrorText().toStdString();
  QStringList received;
  QObject::connect(&primary, &SingleInstance::fileHandedOver,
                   [&](const QString& path) { received << path; });
  auto probe = StartProbe("hand-over", {"/after/crash.bin"});
  ASSERT_TRUE(RunUntilFinished({probe.get()}));
  ExpectExitCode(*probe, 0);
  EXPECT_EQ(received, QStringList{"/after/crash.bin"});
}

TEST_F(SingleInstanceTest, OnlyOneObjectIsPrimaryUntilItEnds) {
  auto first = std::make_unique<SingleInstance>(name_);
  ASSERT_TRUE(first->TryBecomePrimary());
  SingleInstance second(name_);
  EXPECT_FALSE(second.TryBecomePrimary());
  EXPECT_FALSE(second.IsPrimary());
  EXPECT_TRUE(second.ErrorText().isEmpty()) << second.ErrorText().toStdString();
  first.reset();  // a clean end removes the socket file
  EXPECT_FALSE(QFileInfo::exists(SocketPath()));
  EXPECT_TRUE(second.TryBecomePrimary());
}

// A server that takes the name but never answers: the wire form arrives, and
// the second instance gives up after its time limit with a failure.
TEST_F(SingleInstanceTest, HandOverFailsWithoutAcknowledgement) {
  QLocalServer silent;
  ASSERT_TRUE(silent.listen(name_));
  QByteArray wire;
  std::vector<QLocalSocket*> sockets;
  QObject::connect(&silent, &QLocalServer::newConnection, [&] {
    while (QLocalSocket* socket = silent.nextPendingConnection()) {
      sockets.push_back(socket);
      QObject::connect(socket, &QLocalSocket::readyRead, [&wire, socket] { wire += socket->readAll(); });
    }
  });
  auto probe = StartProbe("hand-over", {"--timeout", "500", QStringLiteral("é.bin")});
  ASSERT_TRUE(RunUntilFinished({probe.get()}));
  ExpectExitCode(*probe, 1);
  EXPECT_EQ(wire, QByteArray("\x00\x00\x00\x06\xc3\xa9.bin", 10));
}

TEST_F(SingleInstanceTest, HandOverWithoutRunningInstanceFails) {
  SingleInstance lonely(name_);
  EXPECT_FALSE(lonely.HandOver(QStringLiteral("/x"), 500));
  EXPECT_FALSE(lonely.ErrorText().isEmpty());
}

}  // namespace
}  // namespace vantrell
