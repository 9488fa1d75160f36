#pragma once
// An event that stays signalled until it is reset: every waiter passes while
// it is set, however many there are and however late they come.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vesta {

class ManualResetEvent {
public:
    explicit ManualResetEvent(bool signalled = false) : m_signalled(signalled) {}
    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    void Set() {
        {
            std::lock_guard lock(m_mutex);
            m_signalled = true;
        }
        m_changed.notify_all();
    }

    void Reset() {
        std::lock_guard lock(m_mutex);
        m_signalled = false;
    }

    bool IsSet() const {
        std::lock_guard lock(m_mutex);
        return m_signalled;
    }

    void Wait() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_signalled; });
    }

    // True when the event was set within `timeout`.
    template <class Rep, class Period>
    bool WaitFor(std::chrono::duration<Rep, Period> timeout) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [this] { return m_signalled; });
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_signalled;
};

}  // namespace vesta
