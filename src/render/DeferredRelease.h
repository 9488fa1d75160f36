#pragma once
// Textures handed back during a part are destroyed one at a time, at least
// one interval apart, so that no single frame pays for many destructions.

#include <deque>
#include <utility>

namespace vesta {

template <typename Texture>
class DeferredRelease {
public:
    void SetEnabled(bool enabled, float interval) {
        m_enabled = enabled;
        m_interval = interval;
    }
    bool Enabled() const { return m_enabled; }

    // Queues `texture` and pushes the next destruction back by a full interval.
    void Queue(Texture* texture, float now) {
        m_waiting.push_back(texture);
        m_lastRelease = now;
    }

    // The texture to destroy in this frame, or null.
    Texture* Step(float now) {
        if (now - m_lastRelease <= m_interval) {
            return nullptr;
        }
        m_lastRelease = now;
        if (m_waiting.empty()) {
            return nullptr;
        }
        Texture* texture = m_waiting.front();
        m_waiting.pop_front();
        return texture;
    }

    // Everything still waiting, emptying the queue.
    std::deque<Texture*> TakeAll() { return std::exchange(m_waiting, {}); }
    std::size_t Count() const { return m_waiting.size(); }

private:
    bool m_enabled = false;
    float m_interval = 0.2f;
    float m_lastRelease = 0.0f;
    std::deque<Texture*> m_waiting;
};

}  // namespace vesta
