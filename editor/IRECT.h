#pragma once

// A rectangle of editor pixels: left, top, right, bottom, origin at the top-left, y downward.
// Right and bottom are exclusive for hit tests. All four at zero is the empty rectangle, which
// meets and holds nothing; a rectangle of zero width elsewhere is not empty.
struct IRECT {
    int L = 0;
    int T = 0;
    int R = 0;
    int B = 0;

    constexpr IRECT() = default;
    constexpr IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

    constexpr bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
    constexpr int W() const { return R - L; }
    constexpr int H() const { return B - T; }

    // Lopsided on purpose, as the draw cycle relies on it: touching at this rectangle's right or
    // bottom edge counts as meeting, touching at its left or top edge does not.
    constexpr bool Intersects(const IRECT& other) const {
        if (Empty() || other.Empty()) return false;
        return R >= other.L && L < other.R && B >= other.T && T < other.B;
    }
    constexpr bool Contains(int x, int y) const {
        return !Empty() && L <= x && x < R && T <= y && y < B;
    }
    constexpr IRECT Union(const IRECT& other) const {
        if (Empty()) return other;
        if (other.Empty()) return *this;
        return IRECT(L < other.L ? L : other.L, T < other.T ? T : other.T,
                     R > other.R ? R : other.R, B > other.B ? B : other.B);
    }
    // The common part, by the same lopsided test; empty when the two do not meet.
    constexpr IRECT Intersect(const IRECT& other) const {
        if (!Intersects(other)) return IRECT();
        return IRECT(L > other.L ? L : other.L, T > other.T ? T : other.T,
                     R < other.R ? R : other.R, B < other.B ? B : other.B);
    }
    constexpr bool operator==(const IRECT& other) const {
        return L == other.L && T == other.T && R == other.R && B == other.B;
    }
    constexpr bool operator!=(const IRECT& other) const { return !(*this == other); }
};
