#pragma once
// The height field of a water surface: two buffers of N x N heights, the
// current one and the one before it. A step writes the next heights over the
// one before, which then becomes current; a peak is a raised cell.

#include <vector>

namespace vesta {

class WaterRipples {
public:
    // `size` cells a side; every step takes 1 / `damping` of each new height
    // away (none below 1, where the share would be undefined).
    WaterRipples(int size, int damping);

    int Size() const { return m_size; }
    // Sets the cell to `height` and its four direct neighbours to half of it,
    // in the current buffer; the cell must not be on the border.
    void DropPeak(int row, int column, float height);
    // Each inner cell: the sum of its eight neighbours x 0.25 minus its
    // value before, less the damping share; the border stays still.
    void Step();
    // The height at a cell between the buffer before (c = 0) and the current one (c = 1).
    float Blend(int cell, float c) const {
        return (1.0f - c) * previous()[cell] + c * current()[cell];
    }
    const std::vector<float>& Current() const { return current(); }

private:
    const std::vector<float>& current() const { return m_buffers[m_current]; }
    const std::vector<float>& previous() const { return m_buffers[1 - m_current]; }

    int m_size;
    int m_damping;
    std::vector<float> m_buffers[2];
    int m_current = 0;
};

}  // namespace vesta
