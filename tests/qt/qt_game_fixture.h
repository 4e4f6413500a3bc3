// An opened game in a Qt window with a fixed seed, and ways to look at and poke it.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <memory>

#include "app/qt_game.h"
#include "game/form_probe.h"

namespace tilerush::testing {

class QtGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game = std::make_unique<QtGame>([] { return std::uint64_t{7}; });
    game->open();
  }

  GameState& state() { return FormProbe(game->form()).state(); }
  // A tick of a timer now, as if it fell due; none while the lost-ball pause lasts.
  void tick(TimerId timer) { game->session().give({Input::Kind::Tick, 0, ButtonId::Pause, timer}); }
  bool running(TimerId timer) { return game->form().element(timer).interval() > 0; }
  bool holding() { return game->session().holding(); }
  Element& element(const char* name, int index = -1) { return *game->display().find(name, index); }
  GameWindow& window() { return game->window(); }

  // The window as it would show now.
  QImage grab() { return window().grab().toImage(); }
  void pressKey(Qt::Key key) { QTest::keyPress(&window(), key); }
  void releaseKey(Qt::Key key) { QTest::keyRelease(&window(), key); }
  void clickButton(const char* name) { QTest::mouseClick(window().button(name), Qt::LeftButton); }

  std::unique_ptr<QtGame> game;
};

// Runs the event loop until `done` holds, for a few seconds at most. (QTest's QTRY
// macros report to QTest, which GoogleTest never hears from.)
template <typename Done>
bool eventually(Done done) {
  return QTest::qWaitFor(done, 5000);
}

// The colour an image of the window shows at a point given in twips.
inline QRgb pixelAt(const QImage& image, double leftTwips, double topTwips) {
  return image.pixel(static_cast<int>(leftTwips / kTwipsPerPixel),
                     static_cast<int>(topTwips / kTwipsPerPixel)) &
         0xFFFFFF;
}

inline QRgb centreOf(const QImage& image, const Element& e) {
  return pixelAt(image, e.left() + e.width() / 2.0, e.top() + e.height() / 2.0);
}

// 0x00BBGGRR as Qt's 0xRRGGBB.
constexpr QRgb rgb(Color c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

}  // namespace tilerush::testing
