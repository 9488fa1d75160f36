#include "render/StateBlockCache.h"

namespace vesta {

void StateBlockCache::Recorded(Token& token, std::int32_t id, const Destroy& destroy) {
    if (id == kNoId) {
        return;
    }
    for (Entry& entry : m_entries) {
        if (entry.id == id) {
            destroy(token);
            token = entry.token;
            ++entry.count;
            return;
        }
    }
    m_entries.push_back({id, token, 1});
}

void StateBlockCache::Release(Token token, const Destroy& destroy) {
    bool cached = false;
    for (auto entry = m_entries.begin(); entry != m_entries.end();) {
        if (entry->token != token) {
            ++entry;
            continue;
        }
        cached = true;
        // The entry goes with its block, so that its id never hands out a destroyed token.
        if (--entry->count == 0) {
            destroy(token);
            entry = m_entries.erase(entry);
        } else {
            ++entry;
        }
    }
    if (!cached) {
        destroy(token);
    }
}

std::int64_t StateBlockCache::Find(std::int32_t id) const {
    for (const Entry& entry : m_entries) {
        if (entry.id == id) {
            return entry.token;
        }
    }
    return kNotFound;
}

}  // namespace vesta
