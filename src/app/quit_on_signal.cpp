// A signal handler may only write to a pipe; the event loop reads it and quits.
#include "app/quit_on_signal.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

namespace tilerush {
namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
  const char byte = 1;
  [[maybe_unused]] ssize_t written = ::write(signalPipe[0], &byte, 1);
}

}  // namespace

void quitOnSignals() {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, QCoreApplication::instance(), [] {
    char byte = 0;
    [[maybe_unused]] ssize_t read = ::read(signalPipe[1], &byte, 1);
    QCoreApplication::quit();
  });
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace tilerush
