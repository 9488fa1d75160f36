#pragma once
// A registry of effect kinds by script name: creation by name, use counts and
// the usage statistics written at program end.

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vesta {

// The texts that tell the layer registry from the modifier registry.
struct EffectFactoryWords {
    const char* kindWord;  // "LayerEffect" in "Could not find LayerEffect [%s]..."
    const char* statisticsFile;
    const char* usedHeading;
    const char* unusedHeading;
};

// Writes the statistics file in the current folder; false when it cannot be created.
bool WriteEffectStatistics(const EffectFactoryWords& words,
                           const std::vector<std::pair<std::string, std::int32_t>>& counts);
[[noreturn]] void RaiseUnknownEffect(const EffectFactoryWords& words, std::string_view name,
                                     const std::vector<std::string>& available);
[[noreturn]] void AbortDuplicateEffect(std::string_view name);

template <class Effect, class... Args>
class CEffectCreator {
public:
    using Function = std::unique_ptr<Effect> (*)(Args...);

    CEffectCreator(int order, Function function) : m_order(order), m_function(function) {}

    std::unique_ptr<Effect> Create(Args... args) const { return m_function(args...); }
    int Order() const { return m_order; }
    std::int32_t UseCount() const { return m_useCount; }
    void CountUse() { ++m_useCount; }

private:
    int m_order;
    Function m_function;
    std::int32_t m_useCount = 0;
};

template <class Effect, class... Args>
class CEffectFactory {
public:
    using Creator = CEffectCreator<Effect, Args...>;

    explicit CEffectFactory(const EffectFactoryWords& words) : m_words(words) {}
    ~CEffectFactory() {
        // At the end of the process the log may be gone; standard error is not.
        if (m_writeStatistics && !WriteStatistics()) {
            std::fprintf(stderr, "vesta: warning: cannot write %s\n", m_words.statisticsFile);
        }
    }
    CEffectFactory(const CEffectFactory&) = delete;
    CEffectFactory& operator=(const CEffectFactory&) = delete;

    // `order` is the kind's place in the engine's list of kinds, so that the
    // list does not depend on the order in which files register themselves.
    void Register(int order, std::string_view name, typename Creator::Function function) {
        if (!m_creators.emplace(std::string(name), Creator(order, function)).second) {
            AbortDuplicateEffect(name);
        }
    }

    // Raises the engine error naming the kind and the available ones.
    std::unique_ptr<Effect> Create(std::string_view name, Args... args) {
        const auto it = m_creators.find(name);
        if (it == m_creators.end()) {
            RaiseUnknownEffect(m_words, name, Names());
        }
        it->second.CountUse();
        return it->second.Create(args...);
    }

    bool Has(std::string_view name) const { return m_creators.find(name) != m_creators.end(); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : m_creators) {
            names.push_back(entry.first);
        }
        return names;
    }

    std::vector<std::string> NamesInRegistrationOrder() const {
        std::multimap<int, std::string> ordered;
        for (const auto& [name, creator] : m_creators) {
            ordered.emplace(creator.Order(), name);
        }
        std::vector<std::string> names;
        for (const auto& entry : ordered) {
            names.push_back(entry.second);
        }
        return names;
    }

    std::int32_t UseCount(std::string_view name) const {
        const auto it = m_creators.find(name);
        return it == m_creators.end() ? 0 : it->second.UseCount();
    }

    bool WriteStatistics() const {
        std::vector<std::pair<std::string, std::int32_t>> counts;
        for (const auto& [name, creator] : m_creators) {
            counts.emplace_back(name, creator.UseCount());
        }
        return WriteEffectStatistics(m_words, counts);
    }

    // The usage-statistics switch: the statistics are then written when the
    // registry goes at program end.
    void SetWriteStatistics(bool write) { m_writeStatistics = write; }

private:
    const EffectFactoryWords& m_words;
    std::map<std::string, Creator, std::less<>> m_creators;
    bool m_writeStatistics = false;
};

}  // namespace vesta
