#include "app/PlaceholderWindow.h"

#include <gtest/gtest.h>

#include <memory>

TEST(PlaceholderWindow, ShowsItsCaptionAndClosesOnAnyKey) {
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN}) {
        auto window = std::make_unique<PlaceholderWindow>(nullptr, "Config");
        EXPECT_EQ(window->Caption(), "Config");
        window->SetVisible(true);
        EXPECT_EQ(GetFocus(), window->Handle());
        SendMessageW(window->Handle(), message, 'Q', 0);
        EXPECT_FALSE(window->Visible()) << message;
    }
}
