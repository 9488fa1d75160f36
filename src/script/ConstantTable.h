#pragma once
// The script's constants and the evaluation of arguments that start with one.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesta {

class ConstantTable {
public:
    void Define(std::string_view name, float value);
    std::optional<float> Find(std::string_view name) const;
    std::size_t Count() const { return m_values.size(); }
    std::vector<std::string> Names() const;

    // The value of an argument that starts with a constant, or nothing when it
    // does not. Operators are tried in a fixed table order and chains are
    // evaluated from the right; "+=" and the other assignments update the
    // constant, which makes it a running cursor over the script's lines.
    std::optional<float> Evaluate(std::string_view argument);

private:
    std::optional<float> evaluate(std::string_view argument, int depth);

    std::map<std::string, float, std::less<>> m_values;
};

}  // namespace vesta
