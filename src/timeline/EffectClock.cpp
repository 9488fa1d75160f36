#include "timeline/EffectClock.h"

#include "platform/Clock.h"

namespace vesta {

void EffectClock::SetBirthTime(float time) {
    m_birthTime = time == -1.0f ? static_cast<float>(TimeNow()) : time;
}

void EffectClock::SetBirthTimeNow() {
    m_birthTime = static_cast<float>(TimeNow());
}

bool EffectClock::Advance() {
    m_age = static_cast<float>(TimeNow()) - m_birthTime;
    if (m_age < startTime) {
        return false;
    }
    if (lifeTime != -1.0f && m_age > startTime + lifeTime) {
        return false;
    }
    m_age = static_cast<float>(TimeNow()) - m_birthTime - startTime;
    return true;
}

bool EffectClock::IsAlive() const {
    const float age = static_cast<float>(TimeNow()) - m_birthTime;
    return lifeTime == -1.0f || age <= startTime + lifeTime;
}

}  // namespace vesta
