#include "engine/CCActionPageTurn3D.h"

#include <algorithm>
#include <cmath>

#include "engine/CCGrid.h"

namespace {
constexpr float kHalfPi = 1.57079632679f;
constexpr float kPi = 3.14159265359f;
}  // namespace

void CCPageTurn3D::update(ccTime t) {
    CCGrid3D* grid = targetGrid();
    if (!grid) return;
    const float tt = std::max(0.0f, t - 0.25f);
    const float ay = -100 - tt * tt * 500;
    const float theta = kHalfPi - kHalfPi * std::sqrt(std::max(0.0f, t));
    const float sinTheta = std::sin(theta), cosTheta = std::cos(theta);
    for (int i = 0; i <= gridSize_.x; ++i) {
        for (int j = 0; j <= gridSize_.y; ++j) {
            const ccGridSize pos = ccg(i, j);
            const ccVertex3F p = grid->originalVertex(pos);
            const float R = std::sqrt(p.x * p.x + (p.y - ay) * (p.y - ay));
            ccVertex3F v{0, R + ay, 0.5f};
            // At the very end the cone is a line (sin theta = 0): the page
            // has rolled up into the left-hand edge, where the curl's limit
            // puts it (dividing by zero there would give no number at all).
            if (sinTheta > 0) {
                const float r = R * sinTheta;
                // (A reused mesh may hold any vertex, even the apex itself.)
                const float ratio = R > 0 ? std::clamp(p.x / R, -1.0f, 1.0f) : 0.0f;
                const float beta = std::asin(ratio) / sinTheta;
                const float cosBeta = std::cos(beta);
                v.x = beta <= kPi ? r * std::sin(beta) : 0;
                v.y = R + ay - r * (1 - cosBeta) * sinTheta;
                v.z = std::max(0.5f, r * (1 - cosBeta) * cosTheta / 7);
            }
            grid->setVertex(pos, v);
        }
    }
}
