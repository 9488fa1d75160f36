#include "script/ScriptTimeline.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>

#include "script/TextNumbers.h"

namespace vesta {
namespace {

// Seconds a part without an end is drawn past its last block.
constexpr float kOpenPartTail = 10.0f;

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::optional<float> parameter(const CLayerOperation& operation, std::string_view name) {
    for (const ScriptParameter& p : operation.parameters) {
        if (sameName(p.name, name)) {
            return ParseFloatPrefix(TrimBlanks(p.value));
        }
    }
    return std::nullopt;
}

float blockTime(const CTimeBlock& block) {
    return std::max(block.time, 0.0f);
}

// The earliest PARTEND or END, and whether there is one.
std::optional<float> partEnd(const CPart& part) {
    for (const CTimeBlock& block : part.timeBlocks) {
        for (const CLayerOperation& operation : block.operations) {
            if (operation.kind == OperationKind::PartEnd || operation.kind == OperationKind::End) {
                return blockTime(block);
            }
        }
    }
    return std::nullopt;
}

EffectLife lifeOf(const CLayerOperation& create, int depth, float birth, float partLength) {
    EffectLife life;
    life.create = &create;
    life.depth = depth;
    life.birth = birth;
    life.start = birth + std::max(parameter(create, "StartTime").value_or(0.0f), 0.0f);
    const std::optional<float> rise = parameter(create, "RisingTime");
    const std::optional<float> stable = parameter(create, "StableTime");
    const std::optional<float> fall = parameter(create, "FallingTime");
    life.envelope = rise || stable || fall;
    const std::optional<float> lifeTime = parameter(create, "LifeTime");
    float end = partLength;
    if (life.envelope) {
        life.riseEnd = life.start + std::max(rise.value_or(0.0f), 0.0f);
        life.stableEnd = life.riseEnd + std::max(stable.value_or(0.0f), 0.0f);
        end = life.stableEnd + std::max(fall.value_or(0.0f), 0.0f);
    } else if (lifeTime && *lifeTime >= 0.0f) {
        end = life.start + *lifeTime;
    }
    life.untilPartEnd = end >= partLength;
    life.end = std::min(end, partLength);
    if (!life.envelope) {
        life.riseEnd = life.start;
        life.stableEnd = life.end;
    }
    life.start = std::min(life.start, life.end);
    life.riseEnd = std::min(life.riseEnd, life.end);
    life.stableEnd = std::min(life.stableEnd, life.end);
    return life;
}

void addChildren(std::vector<EffectLife>& lives, const CLayerOperation& parent, int depth,
                 float birth, float partLength) {
    for (const CLayerOperation& child : parent.children) {
        if (child.kind == OperationKind::Create) {
            lives.push_back(lifeOf(child, depth, birth, partLength));
            addChildren(lives, child, depth + 1, birth, partLength);
        }
    }
}

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

std::string describe(const CLayerOperation& operation) {
    std::string text = OperationKeyword(operation.kind);
    if (!operation.argument.empty()) {
        text += " \"" + operation.argument + "\"";
    }
    if (!operation.name.empty()) {
        text += " NAME \"" + operation.name + "\"";
    }
    if (!operation.place.empty()) {
        text += "  (" + operation.place + ")";
    }
    for (const ScriptParameter& p : operation.parameters) {
        text += "\n    " + p.name + " " + p.value;
    }
    return text;
}

// The page's geometry, in pixels.
constexpr float kPixelsPerSecond = 14.0f;
constexpr float kLeft = 240.0f;
constexpr float kRow = 16.0f;
constexpr float kPartHeader = 26.0f;

class Drawing {
public:
    std::string svg;
    float y = 10.0f;

    float x(float showTime) const { return kLeft + showTime * kPixelsPerSecond; }

    void rect(float x0, float x1, float top, float height, const char* style) {
        if (x1 <= x0) {
            return;  // a phase of no length
        }
        svg += "<rect x=\"" + number(x0) + "\" y=\"" + number(top) + "\" width=\"" +
               number(x1 - x0) + "\" height=\"" + number(height) + "\" class=\"" + style + "\"/>";
    }
    void text(float atX, float atY, std::string_view words, const char* style) {
        svg += "<text x=\"" + number(atX) + "\" y=\"" + number(atY) + "\" class=\"" + style +
               "\">" + escaped(words) + "</text>";
    }
    void title(std::string_view words) { svg += "<title>" + escaped(words) + "</title>"; }
};

void drawPart(Drawing& d, const CPart& part, const PartTimeline& timeline, float offset) {
    d.svg += "<g class=\"part\">";
    d.rect(d.x(offset), d.x(offset + timeline.length), d.y, kPartHeader - 4.0f, "band");
    d.text(8.0f, d.y + 15.0f, timeline.title, "part");
    d.text(d.x(offset) + 4.0f, d.y + 15.0f,
           number(offset) + " s" + (timeline.ends ? "" : "  (no end)"), "when");
    d.svg += "</g>";
    d.y += kPartHeader;
    // The blocks: a tick at each time, its operations on hover.
    for (const CTimeBlock& block : part.timeBlocks) {
        std::string operations = "TIME " + number(block.time);
        if (!block.description.empty()) {
            operations += "  DESC \"" + block.description + "\"";
        }
        for (const CLayerOperation& operation : block.operations) {
            operations += "\n" + describe(operation);
        }
        const float at = d.x(offset + blockTime(block));
        d.svg += "<g class=\"block\">";
        d.rect(at - 1.0f, at + 1.0f, d.y, kRow * 0.8f, "tick");
        d.title(operations);
        d.svg += "</g>";
    }
    d.y += kRow;
    for (const EffectLife& life : timeline.effects) {
        const CLayerOperation& create = *life.create;
        const std::string label = std::string(static_cast<std::size_t>(life.depth) * 2, ' ') +
                                  create.argument +
                                  (create.name.empty() ? "" : " \"" + create.name + "\"");
        d.svg += "<g class=\"effect\">";
        d.text(8.0f + static_cast<float>(life.depth) * 12.0f, d.y + 11.0f, label, "label");
        const float top = d.y + 2.0f, height = kRow - 4.0f;
        if (life.start > life.birth) {
            d.rect(d.x(offset + life.birth), d.x(offset + life.start), top + height / 2 - 1, 2.0f,
                   "wait");
        }
        d.rect(d.x(offset + life.start), d.x(offset + life.riseEnd), top, height, "rise");
        d.rect(d.x(offset + life.riseEnd), d.x(offset + life.stableEnd), top, height, "stable");
        d.rect(d.x(offset + life.stableEnd), d.x(offset + life.end), top, height, "fall");
        for (const float update : life.updates) {
            d.rect(d.x(offset + update) - 1.0f, d.x(offset + update) + 1.0f, top - 2.0f,
                   height + 4.0f, "update");
        }
        d.title(describe(create) + "\nborn " + number(life.birth) + " s, starts " +
                number(life.start) + " s, ends " + number(life.end) + " s" +
                (life.untilPartEnd ? " (the part's end)" : "") + " of the part");
        d.svg += "</g>";
        d.y += kRow;
    }
    d.y += 8.0f;
}

}  // namespace

std::vector<PartTimeline> ScriptLives(const std::vector<CPart>& parts) {
    std::vector<PartTimeline> timelines;
    for (std::size_t index = 0; index < parts.size(); ++index) {
        const CPart& part = parts[index];
        PartTimeline timeline;
        timeline.title = "Part " + std::to_string(index + 1);
        const std::optional<float> end = partEnd(part);
        timeline.ends = end.has_value();
        float last = 0.0f;
        for (const CTimeBlock& block : part.timeBlocks) {
            last = std::max(last, blockTime(block));
            if (block.time < 0.0f && !block.description.empty()) {
                timeline.title += ": " + block.description;
            }
        }
        timeline.length = end.value_or(last + kOpenPartTail);
        std::map<std::string, std::size_t, std::less<>> byName;
        for (const CTimeBlock& block : part.timeBlocks) {
            const float at = blockTime(block);
            for (const CLayerOperation& operation : block.operations) {
                if (operation.kind == OperationKind::Create) {
                    if (!operation.name.empty()) {
                        byName[operation.name] = timeline.effects.size();
                    }
                    timeline.effects.push_back(lifeOf(operation, 0, at, timeline.length));
                    addChildren(timeline.effects, operation, 1, at, timeline.length);
                    continue;
                }
                const auto named = byName.find(operation.argument);
                if (named == byName.end()) {
                    continue;
                }
                EffectLife& life = timeline.effects[named->second];
                if (operation.kind == OperationKind::Update) {
                    life.updates.push_back(at);
                } else if (operation.kind == OperationKind::Delete && at < life.end) {
                    life.end = at;
                    life.untilPartEnd = false;
                    life.riseEnd = std::min(life.riseEnd, at);
                    life.stableEnd = std::min(life.stableEnd, at);
                }
            }
        }
        timelines.push_back(std::move(timeline));
    }
    return timelines;
}

std::string FormatScriptTimeline(const std::vector<CPart>& parts) {
    const std::vector<PartTimeline> timelines = ScriptLives(parts);
    float showLength = 0.0f;
    for (const PartTimeline& timeline : timelines) {
        showLength += timeline.length;
    }
    Drawing d;
    float offset = 0.0f;
    for (std::size_t i = 0; i < timelines.size(); ++i) {
        drawPart(d, parts[i], timelines[i], offset);
        offset += timelines[i].length;
    }
    // The axis: a line every 10 s over the whole height.
    std::string grid;
    for (int second = 0; second <= static_cast<int>(showLength); second += 10) {
        const float at = d.x(static_cast<float>(second));
        grid += "<line x1=\"" + number(at) + "\" y1=\"0\" x2=\"" + number(at) + "\" y2=\"" +
                number(d.y) + "\" class=\"grid\"/><text x=\"" + number(at + 2.0f) + "\" y=\"" +
                number(d.y + 12.0f) + "\" class=\"when\">" + std::to_string(second) + " s</text>";
    }
    const std::string width = number(d.x(showLength) + 40.0f);
    const std::string height = number(d.y + 20.0f);
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Script timeline</title>\n"
           "<style>body{background:#1b1b22;color:#ddd;font:12px sans-serif;margin:8px}"
           "svg text{fill:#ccc;font:11px sans-serif}svg text.part{fill:#fff;font-weight:bold}"
           "svg text.when{fill:#889}.band{fill:#2d2d3a}.grid{stroke:#333;stroke-width:1}"
           ".tick{fill:#e8c547}.wait{fill:#667}.rise{fill:#3c7fb0}.stable{fill:#5aa9e6}"
           ".fall{fill:#2f5f85}.update{fill:#f07050}g.effect:hover rect,g.block:hover rect"
           "{stroke:#fff;stroke-width:1}</style></head>\n<body>\n<p>Parts end to end, "
           "seconds of the show; blocks in yellow, effects from birth to end: rising, stable, "
           "falling; updates in red. Hover for the script's words and places.</p>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           width + "\" height=\"" + height + "\">" + grid + d.svg + "</svg>\n</body></html>\n";
}

bool WriteScriptTimeline(const std::vector<CPart>& parts, const char* fileName) {
    std::ofstream out(fileName, std::ios::binary);
    out << FormatScriptTimeline(parts);
    return static_cast<bool>(out.flush());
}

}  // namespace vesta
