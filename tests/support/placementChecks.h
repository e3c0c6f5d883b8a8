#pragma once
// The one maker of placements in tests (entities, nodes, the camera, the cockpit), a bit-for-bit
// comparison of two of them, and a comparison of float lists within a tolerance.

#include "scene/graphVertexTransform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

// Moved to (x, y, z), then turned about X, Y and Z, as the world places its entities.
inline GraphVertexTransform placedAt(float x, float y, float z, float turnX = 0, float turnY = 0,
                                     float turnZ = 0) {
    GraphVertexTransform t;
    t.composeTranslations(x, y, z);
    t.composeRotationsX(turnX), t.composeRotationsY(turnY), t.composeRotationsZ(turnZ);
    return t;
}

inline void expectNear(const std::vector<float>& actual, const std::vector<float>& expected,
                       double within) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], within) << "value " << i;
    }
}

// Where it stands, its turns about X, Y and Z, its scales.
inline std::vector<float> placementValues(const GraphVertexTransform& t) {
    return {t.getX(),      t.getY(),      t.getZ(),      t.getAlphaX(), t.getAlphaY(),
            t.getAlphaZ(), t.getScaleX(), t.getScaleY(), t.getScaleZ()};
}

// Every readable value, the rotated axes included, has the same bits in both.
inline void expectSamePlacement(GraphVertexTransform a, GraphVertexTransform b) {
    auto values = [](GraphVertexTransform& t) {
        std::vector<float> all = placementValues(t);
        all.insert(all.end(), {t.getDirectionXZ(), t.getDirectionYZ(), t.getDirectionZZ(),
                               t.getDirectionXX(), t.getDirectionYY()});
        return all;
    };
    const std::vector<float> got = values(a), expected = values(b);
    EXPECT_EQ(std::memcmp(got.data(), expected.data(), got.size() * sizeof(float)), 0);
}
