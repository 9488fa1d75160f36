#pragma once
// The rise / stable / fall envelope shared by envelope layers and modifiers.

namespace vesta {

class Envelope {
public:
    enum class Phase { Rising, Stable, Falling };

    // The three script times; the owner registers them as its parameters.
    float risingTime = 0.0f;
    float stableTime = 0.0f;
    float fallingTime = 0.0f;

    // Fixes the phase ends from the three times; returns the lifetime they make.
    float Start() {
        m_riseEnd = risingTime;
        m_stableEnd = risingTime + stableTime;
        m_end = risingTime + stableTime + fallingTime;
        // A zero-length phase is never inside, except falling at its one
        // instant, where 0 is the intensity.
        m_riseReciprocal = risingTime != 0.0f ? 1.0f / risingTime : 0.0f;
        m_fallReciprocal = fallingTime != 0.0f ? 1.0f / fallingTime : 0.0f;
        return risingTime + (stableTime + fallingTime);
    }

    // The phase at `age` seconds since the effect began; sets the intensity.
    Phase Advance(float age) {
        if (age < m_riseEnd) {
            m_intensity = age * m_riseReciprocal;
            return Phase::Rising;
        }
        if (age < m_stableEnd) {
            m_intensity = 1.0f;
            return Phase::Stable;
        }
        m_intensity = m_end * m_fallReciprocal - age * m_fallReciprocal;
        return Phase::Falling;
    }

    // Hands the three times to `add(name, member)` in the order effects
    // register them.
    template <class Add>
    void Publish(Add add) {
        add("RisingTime", &risingTime);
        add("FallingTime", &fallingTime);
        add("StableTime", &stableTime);
    }

    // Advances to `age` and calls the phase's hook.
    template <class Rising, class Stable, class Falling>
    void Dispatch(float age, Rising rising, Stable stable, Falling falling) {
        switch (Advance(age)) {
        case Phase::Rising:
            rising();
            break;
        case Phase::Stable:
            stable();
            break;
        case Phase::Falling:
            falling();
            break;
        }
    }

    float Intensity() const { return m_intensity; }
    float RiseEnd() const { return m_riseEnd; }
    float StableEnd() const { return m_stableEnd; }
    float End() const { return m_end; }

private:
    float m_riseEnd = 0.0f;
    float m_stableEnd = 0.0f;
    float m_end = 0.0f;
    float m_riseReciprocal = 0.0f;
    float m_fallReciprocal = 0.0f;
    float m_intensity = 0.0f;
};

}  // namespace vesta
