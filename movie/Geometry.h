// Geometry and colour of the movie engine: rectangles and points in twips
// (1/20 pixel), affine matrices, colours and colour transforms.
#pragma once

#include <algorithm>
#include <cstdint>

namespace movie {

// Twenty twips make one pixel at the stage's own size.
inline constexpr int kTwipsPerPixel = 20;

// A point in twips.
struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle in twips, stored as the file stores it: xMin, xMax, yMin, yMax.
// An empty rectangle has xMax <= xMin or yMax <= yMin.
struct Rect {
    int32_t xMin = 0;
    int32_t xMax = 0;
    int32_t yMin = 0;
    int32_t yMax = 0;

    int32_t Width() const { return xMax - xMin; }
    int32_t Height() const { return yMax - yMin; }
    bool Empty() const { return xMax <= xMin || yMax <= yMin; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A colour with straight (not premultiplied) alpha, 255 = opaque.
struct RGBA {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 255;
    friend bool operator==(const RGBA&, const RGBA&) = default;
};

// An affine transform:
//   x' = a*x + c*y + tx
//   y' = b*x + d*y + ty
// a = ScaleX, b = RotateSkew0, c = RotateSkew1, d = ScaleY of the file's MATRIX;
// tx and ty in twips. For gradient and bitmap fills the matrix maps the fill's
// own space (gradient square -16384..16384, bitmap pixels at kTwipsPerPixel
// units each as the file defines) into the shape's space.
struct Matrix {
    double a = 1;
    double b = 0;
    double c = 0;
    double d = 1;
    double tx = 0;
    double ty = 0;

    // This matrix applied after `inner`: (this * inner)(p) = this(inner(p)).
    Matrix operator*(const Matrix& inner) const {
        return {a * inner.a + c * inner.b,        b * inner.a + d * inner.b,
                a * inner.c + c * inner.d,        b * inner.c + d * inner.d,
                a * inner.tx + c * inner.ty + tx, b * inner.tx + d * inner.ty + ty};
    }
    double MapX(double x, double y) const { return a * x + c * y + tx; }
    double MapY(double x, double y) const { return b * x + d * y + ty; }
    double Determinant() const { return a * d - b * c; }
    // The inverse; a singular matrix gives the identity.
    Matrix Inverted() const {
        double det = Determinant();
        if (det == 0) return {};
        Matrix m{d / det, -b / det, -c / det, a / det, 0, 0};
        m.tx = -(m.a * tx + m.c * ty);
        m.ty = -(m.b * tx + m.d * ty);
        return m;
    }
    friend bool operator==(const Matrix&, const Matrix&) = default;
};

// A colour transform: each channel becomes clamp(c * mult + add, 0, 255),
// computed on straight (not premultiplied) colour. Multipliers are factors
// (the file's 8.8 value / 256), additions are in channel units (-255..255
// usually, kept as read).
struct ColorTransform {
    float multR = 1, multG = 1, multB = 1, multA = 1;
    int16_t addR = 0, addG = 0, addB = 0, addA = 0;

    bool IsIdentity() const {
        return multR == 1 && multG == 1 && multB == 1 && multA == 1 && addR == 0 && addG == 0 &&
               addB == 0 && addA == 0;
    }
    RGBA Apply(RGBA c) const {
        auto ch = [](uint8_t v, float m, int add) {
            float r = std::clamp(v * m + static_cast<float>(add), 0.0f, 255.0f);
            return static_cast<uint8_t>(r + 0.5f);
        };
        return {ch(c.r, multR, addR), ch(c.g, multG, addG), ch(c.b, multB, addB),
                ch(c.a, multA, addA)};
    }
    // This transform applied after `inner` (a parent's transform times its child's).
    ColorTransform operator*(const ColorTransform& inner) const {
        auto add = [](float outerMult, int innerAdd, int outerAdd) {
            float v = innerAdd * outerMult + outerAdd;
            return static_cast<int16_t>(std::clamp(v, -32768.0f, 32767.0f));
        };
        return {multR * inner.multR,
                multG * inner.multG,
                multB * inner.multB,
                multA * inner.multA,
                add(multR, inner.addR, addR),
                add(multG, inner.addG, addG),
                add(multB, inner.addB, addB),
                add(multA, inner.addA, addA)};
    }
    friend bool operator==(const ColorTransform&, const ColorTransform&) = default;
};

} // namespace movie
