// The status light's states, blinking and drawing.
#include "status_light.h"

#include "gui_application.h"

#include <gtest/gtest.h>

#include <QImage>

#include <vector>

namespace {

constexpr int R = TSemaphore::kRed, Y = TSemaphore::kYellow, G = TSemaphore::kGreen;

std::vector<int> ticks(TSemaphore& light, int count) {
  std::vector<int> seen;
  for (int step = 0; step < count; ++step) {
    light.tick();
    seen.push_back(light.lampBits());
  }
  return seen;
}

class Semaphore : public testing::Test {
 protected:
  void SetUp() override { guiApplication(); }
};

TEST_F(Semaphore, IdleBlinksYellowFromLit) {
  TSemaphore light;
  EXPECT_EQ(light.SemaphoreState(), SEM_IDLE);
  EXPECT_EQ(light.lampBits(), Y);
  EXPECT_EQ(ticks(light, 3), (std::vector<int>{0, Y, 0}));
}

TEST_F(Semaphore, SteadyStatesLightTheirLamps) {
  TSemaphore light;
  const std::pair<TSemaphoreState, int> steady[] = {
      {SEM_STOP, R}, {SEM_PREPARE_STOP, Y}, {SEM_PREPARE_GO, R | Y}, {SEM_GO, G}};
  for (auto [state, bits] : steady) {
    light.setSemaphoreState(state);
    EXPECT_EQ(light.lampBits(), bits) << state;
    EXPECT_EQ(ticks(light, 2), (std::vector<int>{bits, bits})) << state;
  }
}

TEST_F(Semaphore, WorkingStatesBlinkYellowBesideASteadyLamp) {
  TSemaphore light;
  // Entering lights both lamps and puts yellow out at once.
  light.setSemaphoreState(SEM_WORKING);
  EXPECT_EQ(light.lampBits(), R);
  EXPECT_EQ(ticks(light, 3), (std::vector<int>{R | Y, R, R | Y}));
  light.setSemaphoreState(SEM_GO_WORKING);
  EXPECT_EQ(light.lampBits(), G);
  EXPECT_EQ(ticks(light, 2), (std::vector<int>{G | Y, G}));
  light.setSemaphoreState(SEM_ERROR);
  int first = light.lampBits();
  EXPECT_TRUE(first == R || first == 0);
  EXPECT_EQ(ticks(light, 2), (std::vector<int>{first ^ R, first}));
}

TEST_F(Semaphore, BrokenRunsRoundFastAndLeavingRestoresTheInterval) {
  TSemaphore light;
  light.setSemaphoreState(SEM_BROKEN);
  EXPECT_EQ(light.Interval(), 100);
  EXPECT_EQ(light.lampBits(), R);
  EXPECT_EQ(ticks(light, 4), (std::vector<int>{Y, G, R, Y}));
  light.setSemaphoreState(SEM_GO);
  EXPECT_EQ(light.Interval(), 1000);
}

TEST_F(Semaphore, TheStateItHasChangesNothing) {
  TSemaphore light;
  light.setSemaphoreState(SEM_WORKING);
  light.tick();
  ASSERT_EQ(light.lampBits(), R | Y);
  light.setSemaphoreState(SEM_WORKING);
  EXPECT_EQ(light.lampBits(), R | Y);
  EXPECT_EQ(ticks(light, 1), (std::vector<int>{R}));
}

TEST_F(Semaphore, AnUnknownStateBecomesError) {
  TSemaphore light;
  light.setSemaphoreState(static_cast<TSemaphoreState>(42));
  EXPECT_EQ(light.SemaphoreState(), SEM_ERROR);
}

TEST_F(Semaphore, WithoutClientTheStatesStillAdvance) {
  TSemaphore light;
  ASSERT_EQ(light.ClientHandle(), nullptr);
  light.setSemaphoreState(SEM_BROKEN);
  EXPECT_EQ(ticks(light, 1), (std::vector<int>{Y}));
}

TEST_F(Semaphore, TheTimerDrivesTheBlinking) {
  TSemaphore light;
  light.setSemaphoreState(SEM_BROKEN);
  int changes = 0, last = light.lampBits();
  EXPECT_TRUE(processEventsUntil([&] {
    if (light.lampBits() != last) ++changes;
    last = light.lampBits();
    return changes >= 3;
  }));
}

TEST_F(Semaphore, LampsArePlacedInThePanelAndDrawnLitOrGrey) {
  TSemaphore light;
  light.placeInPanel(QRect(0, 0, 56, 20));
  QWidget panel;
  SemaphorePanel drawn(&light, &panel);
  drawn.resize(56, 20);
  light.setSemaphoreState(SEM_STOP);
  QImage image = drawn.grab().toImage();
  // (56 / 3 - 12) / 2 + 1 = 4 pixels before each lamp.
  QColor red = image.pixelColor(4 + 6, 10), yellow = image.pixelColor(20 + 6, 10), green = image.pixelColor(36 + 6, 10);
  EXPECT_GT(red.red(), red.green() + 80) << red.name().toStdString();
  EXPECT_LT(std::abs(yellow.red() - yellow.green()), 30) << yellow.name().toStdString();
  EXPECT_LT(std::abs(green.green() - green.red()), 30) << green.name().toStdString();
  light.setSemaphoreState(SEM_GO);
  image = drawn.grab().toImage();
  QColor lit = image.pixelColor(36 + 6, 10);
  EXPECT_GT(lit.green(), lit.red() + 80) << lit.name().toStdString();
}

}  // namespace
