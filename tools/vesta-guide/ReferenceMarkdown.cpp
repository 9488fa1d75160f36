#include "ReferenceMarkdown.h"

#include <algorithm>

#include "KindNotes.h"
#include "fs/FixedFiles.h"

namespace vesta::guide {
namespace {

std::string_view noteOf(Family family, std::string_view kind) {
    for (const KindNote& note : KindNotes(family)) {
        if (note.kind == kind) {
            return note.note;
        }
    }
    return {};
}

bool sameEntry(const ParameterEntry& a, const ParameterEntry& b) {
    return a.name == b.name && a.type == b.type && a.defaultValue == b.defaultValue;
}

bool hasEntry(const KindEntry& kind, const ParameterEntry& wanted) {
    return std::any_of(kind.parameters.begin(), kind.parameters.end(),
                       [&](const ParameterEntry& entry) { return sameEntry(entry, wanted); });
}

// The parameters that at least half the kinds of the family take alike
// (same name, type and default): listed once, not in every kind's table.
std::vector<ParameterEntry> sharedParameters(const std::vector<KindEntry>& kinds) {
    std::vector<ParameterEntry> shared;
    for (const KindEntry& kind : kinds) {
        for (const ParameterEntry& entry : kind.parameters) {
            const auto alike = std::count_if(
                kinds.begin(), kinds.end(), [&](const KindEntry& k) { return hasEntry(k, entry); });
            const bool listed =
                std::any_of(shared.begin(), shared.end(),
                            [&](const ParameterEntry& s) { return s.name == entry.name; });
            if (!listed && static_cast<std::size_t>(alike) * 2 >= kinds.size()) {
                shared.push_back(entry);
            }
        }
    }
    std::sort(shared.begin(), shared.end(),
              [](const ParameterEntry& a, const ParameterEntry& b) { return a.name < b.name; });
    return shared;
}

// Table cells hold no bars and no line ends.
std::string cell(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '|') {
            out += "\\|";
        } else if (c == '\r' || c == '\n') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

std::string valueCell(const std::string& value) {
    return value.empty() ? "(none)" : "`" + cell(value) + "`";
}

void writeTable(std::string& out, const std::vector<ParameterEntry>& rows) {
    out += "| parameter | type | default |\n|---|---|---|\n";
    for (const ParameterEntry& row : rows) {
        out += "| `" + cell(row.name) + "` | " + cell(row.type) + " | " +
               valueCell(row.defaultValue) + " |\n";
    }
}

// GitHub's anchor of a heading: lower case, blanks as dashes.
std::string anchor(std::string_view heading) {
    std::string out;
    for (const char c : heading) {
        out += c == ' ' ? '-' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return out;
}

void writeFamily(std::string& out, Family family, const std::vector<KindEntry>& kinds) {
    const bool layers = family == Family::Layer;
    const std::vector<ParameterEntry> shared = sharedParameters(kinds);
    const std::string sharedHeading =
        layers ? "Shared layer parameters" : "Shared modifier parameters";
    out += layers ? "## Layers\n\n" : "## Modifiers\n\n";
    out += layers ? "Layers stand in the part's layer stack and draw every frame, bottom first.\n"
                  : "Modifiers are created inside the block of an `MDLPlayer` and alter or "
                    "decorate its scene.\n";
    out += "\n";
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        out += (i == 0 ? "[" : " · [") + kinds[i].name + "](#" + anchor(kinds[i].name) + ")";
    }
    out += "\n\n";
    if (!shared.empty()) {
        out += "### " + sharedHeading + "\n\n" + "Most " + (layers ? "layer" : "modifier") +
               " kinds take these; each kind below says which. What they do is told in the "
               "[guide](guide.md#effects).\n\n";
        writeTable(out, shared);
        out += "\n";
    }
    for (const KindEntry& kind : kinds) {
        out += "### " + kind.name + "\n\n" + std::string(noteOf(family, kind.name)) + "\n\n";
        std::vector<ParameterEntry> own;
        std::vector<std::string> takenShared;
        for (const ParameterEntry& entry : kind.parameters) {
            if (std::any_of(shared.begin(), shared.end(),
                            [&](const ParameterEntry& s) { return sameEntry(s, entry); })) {
                takenShared.push_back(entry.name);
            } else {
                own.push_back(entry);
            }
        }
        const std::string link = "(#" + anchor(sharedHeading) + ")";
        if (takenShared.size() == shared.size() && !shared.empty()) {
            out += "Takes all the [shared parameters]" + link + ".\n\n";
        } else if (!takenShared.empty()) {
            out += "Takes the [shared parameters]" + link;
            for (std::size_t i = 0; i < takenShared.size(); ++i) {
                out += (i == 0 ? " `" : ", `") + takenShared[i] + "`";
            }
            out += ".\n\n";
        }
        if (own.empty()) {
            out += "No parameters of its own.\n\n";
        } else {
            writeTable(out, own);
            out += "\n";
        }
    }
}

void notesProblems(Family family, const std::vector<KindEntry>& kinds,
                   std::vector<std::string>& problems) {
    for (const KindEntry& kind : kinds) {
        if (noteOf(family, kind.name).empty()) {
            problems.push_back("kind [" + kind.name +
                               "] has no line in tools/vesta-guide/KindNotes.cpp");
        }
    }
    for (const KindNote& note : KindNotes(family)) {
        if (std::none_of(kinds.begin(), kinds.end(),
                         [&](const KindEntry& kind) { return kind.name == note.kind; })) {
            problems.push_back("KindNotes.cpp describes [" + std::string(note.kind) +
                               "], which is not registered");
        }
    }
}

}  // namespace

ReferenceInput EngineReferenceInput() {
    ReferenceInput input{CatalogueKinds(Family::Layer), CatalogueKinds(Family::Modifier), {}};
    for (const FixedFile& file : FixedFiles()) {
        input.builtInPictures.emplace_back(file.name);
    }
    std::sort(input.builtInPictures.begin(), input.builtInPictures.end());
    return input;
}

std::vector<std::string> NoteProblems(const ReferenceInput& input) {
    std::vector<std::string> problems;
    notesProblems(Family::Layer, input.layers, problems);
    notesProblems(Family::Modifier, input.modifiers, problems);
    return problems;
}

std::string ReferenceMarkdown(const ReferenceInput& input) {
    std::string out =
        "# Effect reference\n\n"
        "<!-- Written by vesta-guide from the engine's own registries; do not edit by hand.\n"
        "     After changing a kind: build/bin/vesta-guide docs/reference.md -->\n\n"
        "Every kind a script can `CREATE`, with every parameter it takes, the parameter's type\n"
        "and the value it has when the script does not set it. How to write a script and how\n"
        "each type is read is in the [author's guide](guide.md).\n\n";
    writeFamily(out, Family::Layer, input.layers);
    writeFamily(out, Family::Modifier, input.modifiers);
    out += "## Built-in pictures\n\n"
           "The engine carries these pictures itself. A picture of the same name in the\n"
           "production's folders or archives is taken first.\n\n";
    for (const std::string& name : input.builtInPictures) {
        out += "- `" + name + "`\n";
    }
    return out;
}

}  // namespace vesta::guide
