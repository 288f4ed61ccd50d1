// Matrices and colour transforms as the renderer combines them.
#include "movie/Geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(Geometry, MatrixProductAppliesTheInnerMatrixFirst) {
    movie::Matrix scale{2, 0, 0, 3, 0, 0};
    movie::Matrix move{1, 0, 0, 1, 100, 50};
    movie::Matrix both = move * scale; // scale, then move
    EXPECT_DOUBLE_EQ(both.MapX(10, 10), 120);
    EXPECT_DOUBLE_EQ(both.MapY(10, 10), 80);
    movie::Matrix other = scale * move; // move, then scale
    EXPECT_DOUBLE_EQ(other.MapX(10, 10), 220);
    EXPECT_DOUBLE_EQ(other.MapY(10, 10), 180);
}

TEST(Geometry, InverseUndoesAndASingularMatrixGivesTheIdentity) {
    movie::Matrix m{0.5, 0.25, -1, 2, 30, -7};
    movie::Matrix back = m.Inverted() * m;
    EXPECT_NEAR(back.a, 1, 1e-12);
    EXPECT_NEAR(back.b, 0, 1e-12);
    EXPECT_NEAR(back.c, 0, 1e-12);
    EXPECT_NEAR(back.d, 1, 1e-12);
    EXPECT_NEAR(back.tx, 0, 1e-12);
    EXPECT_NEAR(back.ty, 0, 1e-12);
    EXPECT_EQ((movie::Matrix{1, 2, 2, 4, 5, 5}).Inverted(), movie::Matrix{});
}

TEST(Geometry, ColorTransformClampsAndComposes) {
    movie::ColorTransform half{0.5f, 1, 1, 0.5f, 0, 0, -100, 0};
    EXPECT_EQ(half.Apply({200, 100, 50, 255}), (movie::RGBA{100, 100, 0, 128}));
    movie::ColorTransform brighten{1, 1, 1, 1, 100, 0, 0, 0};
    EXPECT_EQ(brighten.Apply({200, 0, 0, 255}).r, 255);
    // Parent after child equals applying one after the other (before clamping).
    movie::ColorTransform both = brighten * half;
    EXPECT_EQ(both.Apply({100, 100, 100, 200}), brighten.Apply(half.Apply({100, 100, 100, 200})));
    EXPECT_TRUE(movie::ColorTransform{}.IsIdentity());
    EXPECT_FALSE(half.IsIdentity());
}

} // namespace
