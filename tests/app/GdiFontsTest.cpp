// The system's fonts through GDI as the engine's device fonts: outlines in
// design units that a text field draws, and no GDI object left behind.
#include "app/GdiFonts.h"

#include "gui/GdiObject.h"
#include "movie/Player.h"
#include "movie/render/Renderer.h"

#include <gtest/gtest.h>

TEST(GdiFonts, GenericFacesGiveOutlinesThatATextFieldDraws) {
    const long before = gui::LiveGdiObjectCount();
    {
        auto fonts = std::make_shared<GdiFonts>();
        auto sans = fonts->Face("_sans", false, false);
        ASSERT_NE(sans, nullptr);
        EXPECT_EQ(fonts->Face("_sans", false, false), sans) << "a face is made once";
        EXPECT_GT(sans->Ascent(), sans->Descent());
        const movie::Glyph* w = sans->GlyphFor(U'W');
        const movie::Glyph* i = sans->GlyphFor(U'i');
        ASSERT_NE(w, nullptr);
        ASSERT_NE(i, nullptr);
        EXPECT_GT(w->advance, i->advance);
        ASSERT_FALSE(w->shape.groups.empty());
        EXPECT_FALSE(w->shape.groups[0].paths.empty());
        EXPECT_EQ(sans->GlyphFor(0x10FFFF), nullptr);

        // A device-font field, black on the movie's white stage.
        auto movie = std::make_shared<movie::Movie>();
        movie->header.stage = {0, 2000, 0, 800};
        movie->header.frameRate = 12;
        movie->timeline.frames.resize(1);
        movie::EditText def;
        def.bounds = {0, 2000, 0, 800};
        def.fontClass = "_sans";
        def.fontHeight = 600;
        def.initialText = "WW";
        auto c = std::make_shared<movie::Character>();
        c->id = 1;
        c->data = def;
        movie->dictionary.Add(c);
        movie::PlaceObject place;
        place.depth = 1;
        place.characterId = 1;
        movie->timeline.frames[0].tags.push_back(place);
        movie::Player player(movie);
        player.SetDeviceFonts(fonts);
        movie::render::Renderer renderer;
        renderer.Render(player, 100, 40);
        int dark = 0, darkPastText = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 100; ++x) {
                const bool isDark = (renderer.Frame().At(x, y) & 0xFF) < 128;
                dark += isDark;
                darkPastText += isDark && x > 80; // two W of a 30 px em end near x = 60
            }
        EXPECT_GT(dark, 100);
        EXPECT_EQ(darkPastText, 0);
    }
    EXPECT_EQ(gui::LiveGdiObjectCount(), before);
}
