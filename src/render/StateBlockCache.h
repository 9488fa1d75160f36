#pragma once
// Recorded state blocks shared by a caller's id: the first block recorded
// under an id is kept, later recordings under the same id are dropped in its
// favour, and the block lives until every user has released it.

#include <cstdint>
#include <functional>
#include <vector>

namespace vesta {

class StateBlockCache {
public:
    using Token = std::uint32_t;
    using Destroy = std::function<void(Token)>;
    static constexpr std::int64_t kNotFound = -1;
    static constexpr std::int32_t kNoId = -1;

    // After recording into `token` under `id`: shares an earlier block of the
    // same id (destroying the new one and replacing `token`) or remembers it.
    void Recorded(Token& token, std::int32_t id, const Destroy& destroy);

    // One user fewer; the block is destroyed with its last user, or at once
    // when it was never cached.
    void Release(Token token, const Destroy& destroy);

    std::int64_t Find(std::int32_t id) const;

private:
    struct Entry {
        std::int32_t id;
        Token token;
        int count;
    };
    std::vector<Entry> m_entries;
};

}  // namespace vesta
