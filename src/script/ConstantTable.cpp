#include "script/ConstantTable.h"

#include "script/TextNumbers.h"

namespace vesta {
namespace {

enum class Rule { Add, Subtract, Multiply, Divide };

struct Operator {
    std::string_view text;
    Rule rule;
    bool assigns;
};

// Searched in this order: the first entry found anywhere wins, not the leftmost.
constexpr Operator kOperators[] = {
    {"+=", Rule::Add, true},      {"-=", Rule::Subtract, true}, {"*=", Rule::Multiply, true},
    {"/=", Rule::Divide, true},   {"+", Rule::Add, false},      {"-", Rule::Subtract, false},
    {"*", Rule::Multiply, false}, {"/", Rule::Divide, false},
};

// Right operands nest once per operator; deeper chains read the rest as a number.
constexpr int kMaxDepth = 256;

struct Found {
    const Operator* op = nullptr;
    std::size_t position = std::string_view::npos;
};

Found firstOperator(std::string_view text) {
    for (const Operator& op : kOperators) {
        const std::size_t position = text.find(op.text);
        if (position != std::string_view::npos) {
            return {&op, position};
        }
    }
    return {};
}

float apply(Rule rule, float value, float operand) {
    switch (rule) {
    case Rule::Add:
        return value + operand;
    case Rule::Subtract:
        return value - operand;
    case Rule::Multiply:
        return operand * value;
    case Rule::Divide:
        return value / (operand == 0.0f ? 1.0f : operand);
    }
    return value;
}

}  // namespace

void ConstantTable::Define(std::string_view name, float value) {
    auto it = m_values.find(name);
    if (it == m_values.end()) {
        m_values.emplace(std::string(name), value);
    } else {
        it->second = value;
    }
}

std::vector<std::string> ConstantTable::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : m_values) {
        names.push_back(entry.first);
    }
    return names;
}

std::optional<float> ConstantTable::Find(std::string_view name) const {
    const auto it = m_values.find(name);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<float> ConstantTable::Evaluate(std::string_view argument) {
    return evaluate(argument, 0);
}

std::optional<float> ConstantTable::evaluate(std::string_view argument, int depth) {
    // The name ends at the first table operator of the text before any '=',
    // so "T+=1" names T through its "+".
    const std::string_view namePiece = argument.substr(0, argument.find('='));
    const Found inName = firstOperator(namePiece);
    const auto it = m_values.find(namePiece.substr(0, inName.position));
    if (it == m_values.end()) {
        return std::nullopt;
    }
    const Found found = firstOperator(argument);
    if (!found.op) {
        return it->second;
    }
    const std::string_view operandText =
        TrimBlanks(argument.substr(found.position + found.op->text.size()));
    float operand = 0.0f;
    std::optional<float> nested;
    if (depth < kMaxDepth) {
        nested = evaluate(operandText, depth + 1);
    }
    // A nested result goes through its text form, as the substituted line would.
    operand = nested ? ParseFloatPrefix(FormatFixed3(*nested)) : ParseFloatPrefix(operandText);
    const float result = apply(found.op->rule, it->second, operand);
    if (found.op->assigns) {
        it->second = result;
    }
    return result;
}

}  // namespace vesta
