#include "script/ScriptParser.h"

#include <algorithm>
#include <vector>

#include "fs/SearchPaths.h"
#include "script/ScriptPreprocessor.h"
#include "script/StatementSplitter.h"
#include "script/TextNumbers.h"

namespace vesta {
namespace {

// Lines end at CR or LF; the character after a CR goes with it. Every line
// gets a CR so that an argument without ';' still ends.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    bool Next() {
        if (m_position >= m_text.size()) {
            return false;
        }
        std::size_t end = m_text.find_first_of("\r\n", m_position);
        if (end == std::string_view::npos) {
            end = m_text.size();
        }
        m_line.assign(m_text, m_position, end - m_position);
        m_line += '\r';
        m_position = end;
        if (m_position < m_text.size()) {
            m_position += m_text[m_position] == '\r' ? 2 : 1;
        }
        return true;
    }

    const std::string& Line() const { return m_line; }

    // What the block stages look at: the text between the first and second '$'.
    std::string_view BlockText() const {
        const std::size_t first = m_line.find('$');
        if (first == std::string::npos) {
            return {};
        }
        const std::size_t second = m_line.find('$', first + 1);
        return std::string_view(m_line).substr(
            first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    }

    // "file(line)" from the line's tag.
    std::string Place() const {
        const std::string_view tag = std::string_view(m_line).substr(0, m_line.find('$'));
        const std::size_t bar = tag.rfind('|');
        if (bar == std::string_view::npos || bar + 1 == tag.size()) {
            return std::string(tag.substr(0, bar)) + "(N/A)";
        }
        return std::string(tag.substr(0, bar)) + "(" + std::string(tag.substr(bar + 1)) + ")";
    }

private:
    std::string_view m_text;
    std::size_t m_position = 0;
    std::string m_line;
};

bool contains(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

// Where the parser writes down what it passed over; no notes, no writing.
class NoteTaker {
public:
    explicit NoteTaker(ScriptNotes* notes) : m_notes(notes) {}

    void Ignored(ScriptContext context, const Statement& statement, std::string_view text,
                 const std::string& place, const std::string& enclosingPlace) {
        if (m_notes) {
            m_notes->ignored.push_back({context, statement.keyword, statement.argument, place,
                                        contains(text, '{'), enclosingPlace});
        }
    }
    void Unclosed(std::string what, std::string place) {
        if (m_notes) {
            m_notes->unclosed.push_back({std::move(what), std::move(place)});
        }
    }
    // A statement that was read: is there a second one on its line?
    void Read(std::string_view text, const std::string& place) {
        if (!m_notes) {
            return;
        }
        // A lone } closes a part block but never a time or effect block;
        // the blocks it leaves open are news of their own.
        const std::string_view rest = TextAfterStatement(text);
        if (rest.find_first_not_of("} \t") != std::string_view::npos) {
            m_notes->crowded.push_back({place, std::string(rest)});
        }
    }

private:
    ScriptNotes* m_notes;
};

const OperationKind* effectKeyword(std::string_view keyword) {
    static constexpr OperationKind kCreate = OperationKind::Create;
    static constexpr OperationKind kUpdate = OperationKind::Update;
    static constexpr OperationKind kDelete = OperationKind::Delete;
    if (keyword == "CREATE") {
        return &kCreate;
    }
    if (keyword == "UPDATE") {
        return &kUpdate;
    }
    if (keyword == "DELETE") {
        return &kDelete;
    }
    return nullptr;
}

CLayerOperation newOperation(OperationKind kind, const Statement& statement,
                             const LineReader& reader) {
    CLayerOperation operation;
    operation.kind = kind;
    if (kind == OperationKind::Create || kind == OperationKind::Update ||
        kind == OperationKind::Delete) {
        operation.argument = statement.argument;
    }
    operation.place = reader.Place();
    return operation;
}

// NAME, INSERT, MOVE and RESTART only where they belong; elsewhere, and for
// every other keyword, the statement is a parameter.
void applyBlockStatement(CLayerOperation& operation, Statement& statement,
                         const std::string& place) {
    const std::string& keyword = statement.keyword;
    const OperationKind kind = operation.kind;
    if (keyword == "NAME" && (kind == OperationKind::Create || kind == OperationKind::Delete)) {
        operation.name = statement.argument;
    } else if (keyword == "INSERT" && kind == OperationKind::Create) {
        operation.insertAtBottom = statement.argument == "Bottom";
    } else if (keyword == "MOVE" && kind == OperationKind::Update) {
        operation.move = statement.argument == "Top"      ? MoveTarget::Top
                         : statement.argument == "Bottom" ? MoveTarget::Bottom
                                                          : MoveTarget::Stay;
    } else if (keyword == "RESTART" && kind == OperationKind::Update) {
        operation.restart = statement.argument == "Yes";
    } else {
        operation.parameters.push_back(
            {std::move(statement.keyword), std::move(statement.argument), place});
    }
}

// Nested effect blocks are kept on an explicit stack, so that no script can
// nest deeper than memory allows.
CLayerOperation parseEffectBlock(LineReader& reader, CLayerOperation root, NoteTaker& notes) {
    std::vector<CLayerOperation> open;
    open.push_back(std::move(root));
    Statement statement;
    while (reader.Next()) {
        const std::string_view text = reader.BlockText();
        if (!SplitStatement(text, statement)) {
            if (contains(text, '}')) {
                if (open.size() == 1) {
                    return std::move(open.back());
                }
                CLayerOperation child = std::move(open.back());
                open.pop_back();
                open.back().children.push_back(std::move(child));
            }
            continue;
        }
        notes.Read(text, reader.Place());
        const OperationKind* nested = effectKeyword(statement.keyword);
        if (nested && open.back().kind != OperationKind::Delete) {
            open.push_back(newOperation(*nested, statement, reader));
            continue;
        }
        applyBlockStatement(open.back(), statement, reader.Place());
    }
    for (const CLayerOperation& unclosed : open) {
        notes.Unclosed(OperationKeyword(unclosed.kind), unclosed.place);
    }
    while (open.size() > 1) {
        CLayerOperation child = std::move(open.back());
        open.pop_back();
        open.back().children.push_back(std::move(child));
    }
    return std::move(open.back());
}

bool closesTimeBlock(std::string_view text) {
    const std::size_t brace = text.find('}');
    return brace != std::string_view::npos && brace < text.find("//");
}

void parseTimeBlock(LineReader& reader, CTimeBlock& block, NoteTaker& notes) {
    Statement statement;
    while (reader.Next()) {
        const std::string_view text = reader.BlockText();
        if (!SplitStatement(text, statement)) {
            if (closesTimeBlock(text)) {
                return;
            }
            continue;
        }
        notes.Read(text, reader.Place());
        const OperationKind* effect = effectKeyword(statement.keyword);
        if (effect && contains(text, '{')) {
            block.operations.push_back(
                parseEffectBlock(reader, newOperation(*effect, statement, reader), notes));
        } else if (statement.keyword == "END") {
            block.operations.push_back(newOperation(OperationKind::End, statement, reader));
        } else if (statement.keyword == "PARTEND") {
            block.operations.push_back(newOperation(OperationKind::PartEnd, statement, reader));
        } else if (statement.keyword == "DESC") {
            block.description = statement.argument;
        } else {
            notes.Ignored(ScriptContext::TimeBlock, statement, text, reader.Place(), block.place);
        }
    }
    notes.Unclosed("TIME", block.place);
}

// False for a statement that a part block does not know.
bool applyPartStatement(CPart& part, const Statement& statement, const std::string& place) {
    const std::string& keyword = statement.keyword;
    part.statementPlaces[keyword] = place;
    if (keyword == "SHOWDESC") {
        part.showDescriptions = statement.argument == "Yes";
    } else if (keyword == "LOADINGIMG") {
        part.loadingImage = statement.argument;
    } else if (keyword == "LOADINGANIM") {
        part.loadingAnimation = statement.argument;
    } else if (keyword == "MUSICSTREAM") {
        part.musicStream = statement.argument;
    } else if (keyword == "MODSTREAM") {
        part.modStream = statement.argument;
    } else if (keyword == "NEXTLOAD_SAMPLE") {
        part.nextLoadSample = statement.argument;
    } else {
        part.statementPlaces.erase(keyword);
        return false;
    }
    return true;
}

void parsePartBlock(LineReader& reader, CPart& part, NoteTaker& notes) {
    Statement statement;
    while (reader.Next()) {
        const std::string_view text = reader.BlockText();
        const bool hasStatement = SplitStatement(text, statement);
        const bool opensBlock = contains(text, '{');
        if (hasStatement) {
            notes.Read(text, reader.Place());
        }
        if (opensBlock && hasStatement && statement.keyword == "TIME") {
            CTimeBlock& block = part.timeBlocks.emplace_back();
            block.time = ParseFloatPrefix(statement.argument);
            block.timeText = statement.argument;
            block.place = reader.Place();
            parseTimeBlock(reader, block, notes);
            continue;
        }
        if (hasStatement && (opensBlock || !applyPartStatement(part, statement, reader.Place()))) {
            notes.Ignored(ScriptContext::Part, statement, text, reader.Place(), part.place);
        }
        if (contains(text, '}')) {
            return;
        }
    }
    notes.Unclosed("PART", part.place);
}

// False for a statement that is no switch.
bool applySwitch(ScriptSwitches& switches, const Statement& statement) {
    const std::string& keyword = statement.keyword;
    const bool yes = statement.argument == "Yes";
    if (keyword == "SHOWFPS") {
        switches.showFps = yes;
    } else if (keyword == "SHOWTIME") {
        switches.showTime = yes;
    } else if (keyword == "TIMESTRETCH") {
        switches.timeStretch = yes;
    } else if (keyword == "LOGSCRIPT") {
        switches.logScript = yes;
    } else if (keyword == "SOUNDBARS") {
        switches.soundBars = yes;
    } else if (keyword == "SEARCHPAK_FIRST") {
        SetSearchArchivesFirst(true);
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool CScriptParser::Load(std::string_view entryName) {
    const std::string text = Preprocess(entryName);
    Parse(text);
    return true;
}

std::string CScriptParser::Preprocess(std::string_view entryName) {
    ScriptPreprocessor preprocessor(m_constants, m_notes);
    return preprocessor.Run(entryName);
}

void CScriptParser::Parse(std::string_view preprocessed) {
    LineReader reader(preprocessed);
    NoteTaker notes(m_notes);
    const auto lastPart = [&] {
        return m_target.parts.empty() ? std::string() : m_target.parts.back().place;
    };
    Statement statement;
    while (reader.Next()) {
        const std::string& line = reader.Line();
        if (std::count(line.begin(), line.end(), '$') != 1) {
            continue;
        }
        const std::string_view text = std::string_view(line).substr(line.find('$') + 1);
        if (!SplitStatement(text, statement)) {
            continue;
        }
        notes.Read(text, reader.Place());
        if (contains(text, '{')) {
            if (statement.keyword == "PART") {
                CPart& part = m_target.parts.emplace_back();
                part.place = reader.Place();
                parsePartBlock(reader, part, notes);
                std::stable_sort(
                    part.timeBlocks.begin(), part.timeBlocks.end(),
                    [](const CTimeBlock& a, const CTimeBlock& b) { return a.time < b.time; });
            } else {
                notes.Ignored(ScriptContext::TopLevel, statement, text, reader.Place(), lastPart());
            }
            continue;
        }
        if (!applySwitch(m_target.switches, statement)) {
            notes.Ignored(ScriptContext::TopLevel, statement, text, reader.Place(), lastPart());
        }
    }
}

}  // namespace vesta
