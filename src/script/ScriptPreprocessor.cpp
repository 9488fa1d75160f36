#include "script/ScriptPreprocessor.h"

#include <algorithm>
#include <optional>

#include "fs/DataFile.h"
#include "log/Log.h"
#include "script/StatementSplitter.h"
#include "script/TextNumbers.h"

namespace vesta {
namespace {

std::size_t lineEnd(std::string_view text, std::size_t from) {
    const std::size_t end = text.find_first_of("\r\n", from);
    return end == std::string_view::npos ? text.size() : end;
}

std::vector<std::string_view> splitAt(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        pieces.push_back(text.substr(start, at - start));
        if (at == std::string_view::npos) {
            return pieces;
        }
        start = at + 1;
    }
}

void defineFrom(std::string_view statementText, ConstantTable& constants) {
    Statement statement;
    SplitStatement(statementText, statement);
    const std::vector<std::string_view> pieces = splitAt(statement.argument, '=');
    if (pieces.size() < 2) {
        return;
    }
    const std::string_view name = TrimBlanks(pieces[0]);
    if (!name.empty()) {
        constants.Define(name, ParseFloatPrefix(TrimBlanks(pieces[1])));
    }
}

// The rewritten line without its CR LF, or nothing when it stays as it is.
std::optional<std::string> substituteLine(std::string_view line, ConstantTable& constants) {
    const std::size_t dollar = line.rfind('$');
    const std::size_t tagLength = dollar == std::string_view::npos ? 0 : dollar + 1;
    Statement statement;
    if (!SplitStatement(line.substr(tagLength), statement)) {
        return std::nullopt;
    }
    const std::optional<float> value = constants.Evaluate(statement.argument);
    if (!value) {
        return std::nullopt;
    }
    std::string rewritten(line.substr(0, tagLength));
    rewritten += statement.keyword;
    rewritten += ' ';
    rewritten += FormatFixed3(*value);
    rewritten += ' ';
    if (line.find('{') != std::string_view::npos) {
        rewritten += '{';
    }
    if (line.find(';') != std::string_view::npos) {
        rewritten += ';';
    }
    return rewritten;
}

// Windows names: case and the folder separator do not tell files apart.
bool sameFile(std::string_view a, std::string_view b) {
    auto fold = [](char c) {
        if (c == '\\') {
            return '/';
        }
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return fold(x) == fold(y); });
}

// "file(line)" from the tag of the line holding `at`.
std::string placeOf(std::string_view text, std::size_t at) {
    const std::size_t newline = text.rfind('\n', at);
    const std::size_t start = newline == std::string_view::npos ? 0 : newline + 1;
    const std::string_view tag = text.substr(start, text.find('$', start) - start);
    const std::size_t bar = tag.rfind('|');
    if (bar == std::string_view::npos) {
        return std::string(tag);
    }
    return std::string(tag.substr(0, bar)) + "(" + std::string(tag.substr(bar + 1)) + ")";
}

}  // namespace

std::string TagLines(std::string_view name, std::string_view contents) {
    std::string out;
    out.reserve(contents.size() + contents.size() / 8 + 16);
    const std::string tagStart = std::string(name) + "|";
    std::size_t start = 0;
    int number = 1;
    while (start < contents.size()) {
        std::size_t end = contents.find('\n', start);
        std::string_view line =
            contents.substr(start, end == std::string_view::npos ? end : end - start);
        start = end == std::string_view::npos ? contents.size() : end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        out += tagStart;
        out += std::to_string(number++);
        out += '$';
        out += line;
        out += "\r\n";
    }
    out += "\r\n";
    return out;
}

std::string RemoveComments(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool quoted = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
        }
        if (quoted || c != '/') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 == text.size()) {
            break;  // a lone '/' at the very end goes
        }
        const char next = text[i + 1];
        if (next == '*') {
            const std::size_t close = text.find("*/", i + 2);
            i = close == std::string_view::npos ? text.size() : close + 2;
        } else if (next == '/') {
            const std::size_t cr = text.find('\r', i + 2);
            i = cr == std::string_view::npos ? text.size() : cr;
        } else {
            // The second character is taken as it is, even a quote.
            out += c;
            out += next;
            i += 2;
        }
    }
    return out;
}

void CollectDefines(std::string& text, ConstantTable& constants) {
    static constexpr std::string_view kWord = "DEFINE";
    std::size_t at = text.find(kWord);
    while (at != std::string::npos) {
        const std::size_t end = lineEnd(text, at);
        defineFrom(std::string_view(text).substr(at, end - at), constants);
        std::fill(text.begin() + static_cast<std::ptrdiff_t>(at),
                  text.begin() + static_cast<std::ptrdiff_t>(end), ' ');
        at = text.find(kWord, end);
    }
}

std::string SubstituteConstants(std::string_view text, ConstantTable& constants,
                                ScriptNotes* notes) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        const std::string_view whole = text.substr(start, next - start);
        std::string_view line = whole;
        if (!line.empty() && line.back() == '\n') {
            line.remove_suffix(1);
        }
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (const std::optional<std::string> rewritten = substituteLine(line, constants)) {
            const std::size_t dollar = line.rfind('$');
            const std::string_view statement =
                line.substr(dollar == std::string_view::npos ? 0 : dollar + 1);
            const std::string_view lost = TextAfterStatement(statement);
            if (notes && lost.find_first_not_of("} \t") != std::string_view::npos) {
                notes->crowded.push_back({placeOf(line, 0), std::string(lost)});
            }
            out += *rewritten;
            out += "\r\n";
        } else {
            out += whole;
        }
        start = next;
    }
    return out;
}

void JoinLines(std::string& text) {
    bool quoted = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '&' && !quoted) {
            const std::size_t dollar = text.find('$', i);
            const std::size_t end = dollar == std::string::npos ? text.size() : dollar + 1;
            std::fill(text.begin() + static_cast<std::ptrdiff_t>(i),
                      text.begin() + static_cast<std::ptrdiff_t>(end), ' ');
            i = end;
            continue;
        }
        ++i;
    }
}

std::string ScriptPreprocessor::Run(std::string_view entryName) {
    m_openFiles.clear();
    return processFile(entryName, 0, {});
}

std::string ScriptPreprocessor::processFile(std::string_view name, int depth,
                                            const std::string& includedAt) {
    const std::string fileName(name);
    for (const std::string& open : m_openFiles) {
        if (sameFile(open, name)) {
            RaiseError("ScriptParser : INCLUDE cycle, [%s] includes itself", fileName.c_str());
        }
    }
    if (depth > kMaxIncludeDepth) {
        RaiseError("ScriptParser : INCLUDE nested deeper than %d at [%s]", kMaxIncludeDepth,
                   fileName.c_str());
    }
    DataFile file;
    if (!file.Open(name)) {
        if (includedAt.empty()) {
            RaiseError("ScriptParser : Unable to open file [%s]", fileName.c_str());
        }
        RaiseError("ScriptParser : Unable to open file [%s], included at %s", fileName.c_str(),
                   includedAt.c_str());
    }
    const std::string_view contents(reinterpret_cast<const char*>(file.Data()), file.Size());
    return processContents(name, contents, depth);
}

std::string ScriptPreprocessor::RunText(std::string_view name, std::string_view contents) {
    m_openFiles.clear();
    return processContents(name, contents, 0);
}

std::string ScriptPreprocessor::processContents(std::string_view name, std::string_view contents,
                                                int depth) {
    const std::string fileName(name);
    std::string text = RemoveComments(TagLines(name, contents));
    CollectDefines(text, m_constants);
    text = SubstituteConstants(text, m_constants, m_notes);
    m_openFiles.push_back(fileName);
    text = expandIncludes(text, depth);
    m_openFiles.pop_back();
    JoinLines(text);
    return text;
}

// Each INCLUDE statement and the CR ending its line become blanks; the
// included text, after a CR LF, goes where the statement began.
std::string ScriptPreprocessor::expandIncludes(const std::string& text, int depth) {
    static constexpr std::string_view kWord = "INCLUDE";
    std::size_t at = text.find(kWord);
    if (at == std::string::npos) {
        return text;
    }
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    while (at != std::string::npos) {
        std::size_t end = lineEnd(text, at);
        Statement statement;
        SplitStatement(std::string_view(text).substr(at, end - at), statement);
        if (end < text.size() && text[end] == '\r') {
            ++end;
        }
        out.append(text, copied, at - copied);
        out += "\r\n";
        out += processFile(statement.argument, depth + 1, placeOf(text, at));
        out.append(end - at, ' ');
        copied = end;
        at = text.find(kWord, end);
    }
    out.append(text, copied, std::string::npos);
    return out;
}

}  // namespace vesta
