#pragma once
// Placements for entity tests, and a bit-for-bit comparison of two of them.

#include "scene/graphVertexTransform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

inline GraphVertexTransform placedAt(float x, float y, float z) {
    GraphVertexTransform t;
    t.composeTranslations(x, y, z);
    return t;
}

// Every readable value, the rotated axes included, has the same bits in both.
inline void expectSamePlacement(GraphVertexTransform a, GraphVertexTransform b) {
    auto values = [](GraphVertexTransform& t) {
        return std::vector<float>{t.getX(),           t.getY(),           t.getZ(),
                                  t.getAlphaX(),      t.getAlphaY(),      t.getAlphaZ(),
                                  t.getScaleX(),      t.getScaleY(),      t.getScaleZ(),
                                  t.getDirectionXZ(), t.getDirectionYZ(), t.getDirectionZZ(),
                                  t.getDirectionXX(), t.getDirectionYY()};
    };
    const std::vector<float> got = values(a), expected = values(b);
    EXPECT_EQ(std::memcmp(got.data(), expected.data(), got.size() * sizeof(float)), 0);
}
