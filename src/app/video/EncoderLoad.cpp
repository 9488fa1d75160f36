#include "app/video/EncoderLoad.h"

namespace vesta {

void EncoderLoad::Encoded(double start, double end) {
    if (m_frames == 0) {
        m_first = start;
    }
    ++m_frames;
    m_last = end;
    m_busy += end - start;
}

bool EncoderLoad::TurnedOutLight() {
    if (m_judged || m_frames < kFramesJudged) {
        return false;
    }
    m_judged = true;
    const double span = m_last - m_first;
    return span > 0.0 && m_busy < kLightShare * span;
}

}  // namespace vesta
