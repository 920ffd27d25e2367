#pragma once
// Shared by the dialog tests: a stand-in for the status dialog with the
// real parts (offscreen instrument window, receive link, settings write),
// and a way to act inside a modal dialog's own event loop.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>

#include "dialogs/configuration_host.h"
#include "host/receive_link.h"
#include "host/settings_file.h"
#include "support/offscreen.h"

namespace dialog_testing {

inline const std::string kSettingsName = "a320-dialogs-test.cfg";

struct TestHost final : ConfigurationHost {
  explicit TestHost(int width = 640, int height = 512, float scale = 0.5f) : ow(width, height, scale) {
    for (int slot = 0; slot < kSlotCount; ++slot)
      ow.window->setPlacement(InstrumentWindow::defaultPlacement(slot), 1u << slot);
    ow.window->scalePlacements(scale);
  }
  ~TestHost() { link.closeReceiver(); }

  InstrumentWindow* instrumentWindow() const override { return ow.window.get(); }
  SettingsState& settings() override { return state; }
  bool writeSettings() override {
    ++writes;
    return ::writeSettings(kSettingsName, state, *ow.window);
  }
  void closeReceiver() override {
    ++closes;
    link.closeReceiver();
  }
  bool openReceiver() override {
    ++opens;
    return link.openReceiver(state.port, state.address.c_str());
  }

  testing_support::OffscreenWindow ow;
  SettingsState state;
  ReceiveLink link{ow.window->exchange()};
  int writes = 0, closes = 0, opens = 0;
};

// A UDP port someone else holds, for as long as the object lives.
struct BusyPort {
  BusyPort() {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
  }
  ~BusyPort() { ::close(fd); }
  int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  std::uint16_t port = 0;
};

// The texts of every label in w.
inline QStringList labelTexts(const QWidget* w) {
  QStringList texts;
  for (const QLabel* l : w->findChildren<QLabel*>()) texts << l->text();
  return texts;
}

// Runs fn on the modal dialog of type T as soon as it is up; fn must end
// it. Gives up (and closes whatever is modal) after timeoutMs.
template <class T>
void whenModal(std::function<void(T*)> fn, int timeoutMs = 5000) {
  auto* timer = new QTimer;
  const auto start = std::chrono::steady_clock::now();
  QObject::connect(timer, &QTimer::timeout, [timer, fn, start, timeoutMs] {
    T* w = qobject_cast<T*>(QApplication::activeModalWidget());
    if (w && w->isVisible()) {
      timer->stop();
      timer->deleteLater();
      fn(w);
      // A dialog fn failed to end would block the test for good.
      QPointer<T> left(w);
      QTimer::singleShot(3000, [left] {
        if (left && left->isVisible()) {
          ADD_FAILURE() << "the modal dialog was left open";
          left->reject();
        }
      });
      return;
    }
    if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(timeoutMs)) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "the expected modal dialog never showed";
      if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
    }
  });
  timer->start(5);
}

}  // namespace dialog_testing
