#pragma once
// Named, typed parameters of an effect, set from script text.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesta {

enum class ParameterType : int { Int = 0, Float = 1, Text = 2, Bool = 3, Vector = 4 };

// Read as "x,y,z"; w is always 0.
struct ParameterVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
};

// A parameter as Set would find it. An accessor reads its own text; `type`
// says how, where the accessor declared it.
struct ParameterInfo {
    std::string name;
    std::optional<ParameterType> type;
    bool accessor = false;
};

class CParameterSet {
public:
    using ChangeHandler = std::function<void()>;
    using Getter = std::function<std::string()>;
    using Setter = std::function<bool(std::string_view)>;

    // A strict set raises an engine error for a name it does not know; a
    // lenient one ignores it.
    explicit CParameterSet(bool strict) : m_strict(strict) {}
    virtual ~CParameterSet() = default;
    CParameterSet(const CParameterSet&) = delete;
    CParameterSet& operator=(const CParameterSet&) = delete;

    // Typed parameters are found by the 16-bit hash of the name alone, so two
    // names with the same hash reach the same parameter.
    bool Set(std::string_view name, std::string_view value);

    // The owner as error messages name it.
    virtual std::string Describe() const { return "N/A"; }

    // What Set(name, ...) would reach, without setting anything; nothing when
    // it would raise the unknown-parameter error or be ignored.
    std::optional<ParameterInfo> Lookup(std::string_view name) const;
    // Every name Set accepts: accessors in name order, then typed ones in key order.
    std::vector<std::string> Names() const;

    // The text an accessor parameter's getter gives, if there is one.
    std::optional<std::string> GetAccessorText(std::string_view name) const;
    // A parameter's present value as a script would write it (a typed one
    // from its member, an accessor from its getter); read from a kind just
    // constructed, it is the kind's default.
    std::optional<std::string> ValueText(std::string_view name) const;

    std::size_t TypedCount() const { return m_typed.size(); }
    std::size_t AccessorCount() const { return m_accessors.size(); }
    bool IsStrict() const { return m_strict; }

protected:
    // Registering a name twice, or two names with one hash, ends the program.
    void AddIntParameter(std::string_view name, std::int32_t* member, ChangeHandler onChange = {});
    void AddFloatParameter(std::string_view name, float* member, ChangeHandler onChange = {});
    void AddTextParameter(std::string_view name, std::string* member, ChangeHandler onChange = {});
    void AddBoolParameter(std::string_view name, bool* member, ChangeHandler onChange = {});
    void AddVectorParameter(std::string_view name, ParameterVector* member,
                            ChangeHandler onChange = {});
    // `readsAs`: the type whose text the setter reads, for those who check a
    // script without playing it.
    void AddAccessorParameter(int identifier, Getter getter, Setter setter, std::string_view name,
                              std::optional<ParameterType> readsAs = std::nullopt);

private:
    struct Typed {
        std::string name;
        ParameterType type;
        void* member;
        ChangeHandler onChange;
    };
    struct Accessor {
        int identifier;
        Getter getter;
        Setter setter;
        std::optional<ParameterType> readsAs;
    };

    void addTyped(std::string_view name, ParameterType type, void* member, ChangeHandler onChange);
    void requireNewName(std::string_view name) const;
    [[noreturn]] void raiseUnknown(std::string_view name) const;

    std::map<std::uint16_t, Typed> m_typed;
    std::map<std::string, Accessor, std::less<>> m_accessors;
    bool m_strict;
};

}  // namespace vesta
