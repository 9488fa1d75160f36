#pragma once
// Device resources (textures, mesh buffers, vertex shaders) are named by
// handles: a slot index and the slot's generation packed into 32 bits. Id 0
// is never handed out; releasing a slot bumps its generation, so a handle kept
// past its resource's release is recognised as stale instead of reaching
// whatever took the slot next.

#include <cstdint>
#include <optional>
#include <vector>

namespace vesta {

template <typename Tag>
struct Handle {
    static constexpr int kIndexBits = 20;
    static constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;

    std::uint32_t id = 0;

    static Handle Make(std::uint32_t index, std::uint32_t generation) {
        return {((generation << kIndexBits) | (index + 1)) & 0xFFFFFFFFu};
    }
    bool Valid() const { return id != 0; }
    // Meaningful for valid handles only.
    std::uint32_t Index() const { return (id & kIndexMask) - 1; }
    std::uint32_t Generation() const { return id >> kIndexBits; }
    explicit operator bool() const { return Valid(); }
    bool operator==(const Handle&) const = default;
};

using TextureHandle = Handle<struct TextureTag>;
using MeshHandle = Handle<struct MeshTag>;
using ShaderHandleId = Handle<struct ShaderTag>;

// Slots of T addressed by handles. Released slots are reused, each time with
// a new generation.
template <typename Tag, typename T>
class HandlePool {
public:
    using HandleType = Handle<Tag>;

    HandleType Allocate(T value) {
        std::uint32_t index;
        if (!m_free.empty()) {
            index = m_free.back();
            m_free.pop_back();
        } else {
            index = static_cast<std::uint32_t>(m_slots.size());
            m_slots.push_back({});
        }
        Slot& slot = m_slots[index];
        slot.value = std::move(value);
        // The generation wraps within its bits; the index part keeps the id non-zero.
        slot.generation = (slot.generation + 1) & (0xFFFFFFFFu >> HandleType::kIndexBits);
        ++m_live;
        return HandleType::Make(index, slot.generation);
    }

    // The resource behind a live handle; null for 0, stale or unknown handles.
    T* Get(HandleType handle) {
        Slot* slot = find(handle);
        return slot ? &*slot->value : nullptr;
    }
    const T* Get(HandleType handle) const { return const_cast<HandlePool*>(this)->Get(handle); }
    bool Contains(HandleType handle) const { return Get(handle) != nullptr; }

    // False for a handle that is not live (nothing happens then).
    bool Release(HandleType handle) {
        Slot* slot = find(handle);
        if (!slot) {
            return false;
        }
        slot->value.reset();
        m_free.push_back(handle.Index());
        --m_live;
        return true;
    }

    std::size_t LiveCount() const { return m_live; }

    // Calls `visit(handle, value)` for every live slot.
    template <typename Visit>
    void ForEach(Visit visit) {
        for (std::uint32_t index = 0; index < m_slots.size(); ++index) {
            if (m_slots[index].value) {
                visit(HandleType::Make(index, m_slots[index].generation), *m_slots[index].value);
            }
        }
    }

private:
    struct Slot {
        std::uint32_t generation = 0;
        std::optional<T> value;
    };

    Slot* find(HandleType handle) {
        if (!handle.Valid() || handle.Index() >= m_slots.size()) {
            return nullptr;
        }
        Slot& slot = m_slots[handle.Index()];
        return slot.value && slot.generation == handle.Generation() ? &slot : nullptr;
    }

    std::vector<Slot> m_slots;
    std::vector<std::uint32_t> m_free;
    std::size_t m_live = 0;
};

}  // namespace vesta
