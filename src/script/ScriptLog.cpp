#include "script/ScriptLog.h"

#include <cstdio>

namespace vesta {
namespace {

constexpr const char* kLineEnd = "\r\n";

class Page {
public:
    Page& operator<<(const std::string& text) {
        m_text += text;
        return *this;
    }
    Page& operator<<(const char* text) {
        m_text += text;
        return *this;
    }
    Page& operator<<(std::size_t number) {
        m_text += std::to_string(number);
        return *this;
    }
    // A float as a default-formatted stream writes it.
    Page& operator<<(float number) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", static_cast<double>(number));
        m_text += text;
        return *this;
    }
    std::string Take() { return std::move(m_text); }

private:
    std::string m_text;
};

void writeOperation(Page& page, const CLayerOperation& operation) {
    page << "Layer name : " << operation.argument << "<BR>" << kLineEnd;
    if (!operation.name.empty()) {
        page << "User name : " << operation.name << "<BR>" << kLineEnd;
    }
    page << "Parameters count : " << operation.parameters.size() << "<BR>" << kLineEnd;
    page << "<BLOCKQUOTE>" << kLineEnd << "<TABLE>" << kLineEnd;
    for (const ScriptParameter& parameter : operation.parameters) {
        page << "<TR>" << kLineEnd << "<TD WIDTH=150>" << kLineEnd << parameter.name << "</TD>"
             << kLineEnd << "<TD>" << kLineEnd << parameter.value << "</TD>" << kLineEnd << "</TR>"
             << kLineEnd;
    }
    page << "</TABLE>" << kLineEnd << "</BLOCKQUOTE>" << kLineEnd;
    page << "Nested blocks : " << operation.children.size() << "<BR>" << kLineEnd;
    page << "<BLOCKQUOTE>" << kLineEnd << "<UL>" << kLineEnd;
    for (const CLayerOperation& child : operation.children) {
        page << "<LI>" << kLineEnd;
        writeOperation(page, child);
        page << "</LI>" << kLineEnd;
    }
    page << "</UL>" << kLineEnd << "</BLOCKQUOTE>" << kLineEnd << "<BR>" << kLineEnd;
}

void writeTimeBlock(Page& page, const CTimeBlock& block) {
    page << "<LI>" << kLineEnd;
    page << "Time : " << block.time << "<BR>" << kLineEnd;
    page << "Layer operation count : " << block.operations.size() << kLineEnd;
    page << "<BLOCKQUOTE>" << kLineEnd << "<UL>" << kLineEnd;
    for (const CLayerOperation& operation : block.operations) {
        page << "<LI>" << kLineEnd;
        writeOperation(page, operation);
        page << "</LI>" << kLineEnd;
    }
    page << "</UL>" << kLineEnd << "</BLOCKQUOTE>" << kLineEnd << "</LI>" << kLineEnd;
}

}  // namespace

std::string FormatScriptLog(const std::vector<CPart>& parts) {
    Page page;
    // The second HEAD tag and the missing closing tags are what the page always had.
    page << "<HTML><HEAD><TITLE>Script stored in memory</TITLE><HEAD>" << kLineEnd;
    page << "<BR><BR>Part blocks : <I>" << parts.size() << " </I><BR>" << kLineEnd;
    page << "<UL>" << kLineEnd;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        page << "<B>Part " << i << " : </B>" << kLineEnd;
        page << "Time blocks : <I>" << parts[i].timeBlocks.size() << " </I><BR>" << kLineEnd;
        page << "<UL>" << kLineEnd;
        for (const CTimeBlock& block : parts[i].timeBlocks) {
            writeTimeBlock(page, block);
        }
        page << "</UL>" << kLineEnd;
    }
    page << "</UL>" << kLineEnd;
    return page.Take();
}

bool WriteScriptLog(const std::vector<CPart>& parts, const char* fileName) {
    std::FILE* file = std::fopen(fileName, "wb");
    if (!file) {
        return false;
    }
    const std::string page = FormatScriptLog(parts);
    const bool written = std::fwrite(page.data(), 1, page.size(), file) == page.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace vesta
