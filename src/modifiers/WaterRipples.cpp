#include "modifiers/WaterRipples.h"

#include <cstddef>

namespace vesta {

WaterRipples::WaterRipples(int size, int damping) : m_size(size), m_damping(damping) {
    const auto cells = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    m_buffers[0].assign(cells, 0.0f);
    m_buffers[1].assign(cells, 0.0f);
}

void WaterRipples::DropPeak(int row, int column, float height) {
    std::vector<float>& heights = m_buffers[m_current];
    const int cell = row * m_size + column;
    heights[cell] = height;
    const float half = height * 0.5f;
    heights[cell - 1] = half;
    heights[cell + 1] = half;
    heights[cell - m_size] = half;
    heights[cell + m_size] = half;
}

void WaterRipples::Step() {
    const std::vector<float>& now = m_buffers[m_current];
    std::vector<float>& next = m_buffers[1 - m_current];
    const int n = m_size;
    const float damping = m_damping >= 1 ? 1.0f / static_cast<float>(m_damping) : 0.0f;
    for (int row = 1; row < n - 1; ++row) {
        for (int column = 1; column < n - 1; ++column) {
            const int cell = row * n + column;
            const float* above = &now[cell - n];
            const float* here = &now[cell];
            const float* below = &now[cell + n];
            const float around = above[-1] + above[0] + above[1] + here[-1] + here[1] + below[-1] +
                                 below[0] + below[1];
            float height = around * 0.25f - next[cell];
            height -= height * damping;
            next[cell] = height;
        }
    }
    m_current = 1 - m_current;
}

}  // namespace vesta
