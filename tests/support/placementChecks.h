#pragma once
// Placements for entity tests, and a bit-for-bit comparison of two of them.

#include "scene/graphVertexTransform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

inline GraphVertexTransform placedAt(float x, float y, float z) {
    GraphVertexTransform t;
    t.composeTranslations(x, y, z);
    return t;
}

inline std::uint32_t bits(float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

// Every readable value of both placements has the same bit pattern, the rotated axes included.
inline void expectSamePlacement(GraphVertexTransform a, GraphVertexTransform b) {
    EXPECT_EQ(bits(a.getX()), bits(b.getX()));
    EXPECT_EQ(bits(a.getY()), bits(b.getY()));
    EXPECT_EQ(bits(a.getZ()), bits(b.getZ()));
    EXPECT_EQ(bits(a.getAlphaX()), bits(b.getAlphaX()));
    EXPECT_EQ(bits(a.getAlphaY()), bits(b.getAlphaY()));
    EXPECT_EQ(bits(a.getAlphaZ()), bits(b.getAlphaZ()));
    EXPECT_EQ(bits(a.getScaleX()), bits(b.getScaleX()));
    EXPECT_EQ(bits(a.getScaleY()), bits(b.getScaleY()));
    EXPECT_EQ(bits(a.getScaleZ()), bits(b.getScaleZ()));
    EXPECT_EQ(bits(a.getDirectionXZ()), bits(b.getDirectionXZ()));
    EXPECT_EQ(bits(a.getDirectionYZ()), bits(b.getDirectionYZ()));
    EXPECT_EQ(bits(a.getDirectionZZ()), bits(b.getDirectionZZ()));
    EXPECT_EQ(bits(a.getDirectionXX()), bits(b.getDirectionXX()));
    EXPECT_EQ(bits(a.getDirectionYY()), bits(b.getDirectionYY()));
}
