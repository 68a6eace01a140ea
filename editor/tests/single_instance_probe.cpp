// A second program instance for the single-instance tests.
//
//   single_instance_probe hand-over SERVER [--timeout MS] [FILE]
//     must find a running instance, hands FILE (or an empty name) over and
//     exits 0 once it is acknowledged, 1 when the hand-over fails, 3 when it
//     found no running instance and became the primary itself.
//   single_instance_probe crash-as-primary SERVER
//     becomes the primary, prints "listening" and kills itself, leaving the
//     socket file behind as a crashed instance does (3 when it cannot).
#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>

#include "shell/single_instance.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() < 3) return 2;
  const QString mode = arguments[1];
  vantrell::SingleInstance instance(arguments[2]);
  arguments = arguments.mid(3);

  if (mode == QLatin1String("crash-as-primary")) {
    if (!instance.TryBecomePrimary()) return 3;
    std::puts("listening");
    std::fflush(stdout);
    std::raise(SIGKILL);
    return 3;
  }
  if (mode != QLatin1String("hand-over")) return 2;
  int timeoutMs = vantrell::SingleInstance::kDefaultTimeoutMs;
  if (arguments.size() >= 2 && arguments[0] == QLatin1String("--timeout")) {
    timeoutMs = arguments[1].toInt();
    arguments = arguments.mid(2);
  }
  if (instance.TryBecomePrimary()) return 3;
  const bool handedOver = instance.HandOver(arguments.value(0), timeoutMs);
  if (!handedOver) std::fprintf(stderr, "%s\n", qPrintable(instance.ErrorText()));
  return handedOver ? 0 : 1;
}
