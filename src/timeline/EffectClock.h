#pragma once
// The clock every effect lives by, layer or modifier: a birth time on the
// engine's clock, a StartTime after it, a LifeTime after that (-1 without
// end), and the age the effect's drawing reads.

namespace vesta {

class EffectClock {
public:
    // The owner publishes these as its parameters, in its own way.
    float startTime = 0.0f;
    float lifeTime = -1.0f;

    // −1 means now.
    void SetBirthTime(float time);
    void SetBirthTimeNow();
    // Born now with the lifetime an envelope worked out.
    void StartNow(float newLifeTime) {
        SetBirthTimeNow();
        lifeTime = newLifeTime;
    }

    // The per-frame step: true while the effect is inside its window (both
    // ends included); the age is then the seconds since it began, read from
    // the clock again, else the seconds since its birth.
    bool Advance();
    // Before its StartTime an effect counts as alive.
    bool IsAlive() const;

    float Age() const { return m_age; }
    void SetAge(float age) { m_age = age; }
    float BirthTime() const { return m_birthTime; }

private:
    float m_age = 0.0f;
    float m_birthTime = 0.0f;
};

}  // namespace vesta
