#include "gui/Timer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Exception.h"

namespace {

using gui::App;

// Handles messages until done() or about two seconds have passed.
template <class Done>
void PumpUntil(Done done) {
  const DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < 2000) {
    if (!App().HandleMessage(false)) Sleep(1);
  }
}

TEST(Timer, TicksThroughTheMessageQueue) {
  gui::Timer timer(nullptr);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  int ticks = 0;
  timer.OnTimer = [&](gui::Component* sender) {
    EXPECT_EQ(sender, &timer);
    ++ticks;
  };
  timer.SetInterval(10);
  Sleep(50);
  EXPECT_EQ(ticks, 0) << "nothing happens outside the message loop";
  PumpUntil([&] { return ticks >= 3; });
  EXPECT_GE(ticks, 3);
}

TEST(Timer, DisabledTimerIsSilentAndEnablingStartsIt) {
  gui::Timer timer(nullptr);
  timer.SetEnabled(false);
  timer.SetInterval(5);
  int ticks = 0;
  timer.OnTimer = [&](gui::Component*) { ++ticks; };
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 60) {
    if (!App().HandleMessage(false)) Sleep(1);
  }
  EXPECT_EQ(ticks, 0);
  timer.SetEnabled(true);
  PumpUntil([&] { return ticks >= 1; });
  EXPECT_GE(ticks, 1);
  // A tick that disables the timer is the last one.
  timer.OnTimer = [&](gui::Component*) {
    ++ticks;
    timer.SetEnabled(false);
  };
  ticks = 0;
  PumpUntil([&] { return ticks >= 1; });
  const DWORD stop = GetTickCount();
  while (GetTickCount() - stop < 40) {
    if (!App().HandleMessage(false)) Sleep(1);
  }
  EXPECT_EQ(ticks, 1);
}

TEST(Timer, AnErrorInATickIsReportedAndTheTimerGoesOn) {
  std::vector<std::string> reports;
  App().ReportCapture = [&](const std::string& text) { reports.push_back(text); };
  gui::Timer timer(nullptr);
  timer.SetInterval(5);
  int ticks = 0;
  timer.OnTimer = [&](gui::Component*) {
    ++ticks;
    if (ticks == 1) throw gui::Exception("Watchdog failed");
  };
  PumpUntil([&] { return ticks >= 2; });
  App().ReportCapture = nullptr;
  EXPECT_GE(ticks, 2);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports[0], "Watchdog failed.");
}

}  // namespace
