#include "gui/MessageDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(MessageDialog, InformationAndErrorBoxesCanBeCaptured) {
  std::vector<std::pair<std::string, gui::MessageKind>> shown;
  gui::MessageDialogCapture = [&](const std::string& text, gui::MessageKind kind) {
    shown.emplace_back(text, kind);
  };
  gui::ShowError("Sorry, only one section's Align property can be \"suiClient\"");
  gui::ShowInformation("Done");
  gui::MessageDialogCapture = nullptr;
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].first, "Sorry, only one section's Align property can be \"suiClient\"");
  EXPECT_EQ(shown[0].second, gui::MessageKind::Error);
  EXPECT_EQ(shown[1].second, gui::MessageKind::Information);
}

}  // namespace
