#include "GltfWriter.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace vesta::test {

std::string Base64(const std::vector<std::uint8_t>& bytes) {
    static const char* const alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::uint32_t chunk = (bytes[i] << 16) |
                                    (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                                    (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        text += alphabet[(chunk >> 18) & 63];
        text += alphabet[(chunk >> 12) & 63];
        text += i + 1 < bytes.size() ? alphabet[(chunk >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? alphabet[chunk & 63] : '=';
    }
    return text;
}

int GltfBuffer::AddFloats(const std::vector<float>& values, const char* type, int components) {
    const std::size_t offset = m_bytes.size();
    m_bytes.resize(offset + values.size() * 4);
    std::memcpy(m_bytes.data() + offset, values.data(), values.size() * 4);
    std::ostringstream view, accessor, low, high;
    view << R"({"buffer":0,"byteOffset":)" << offset << R"(,"byteLength":)" << values.size() * 4
         << "}";
    for (int c = 0; c < components; ++c) {
        float lowest = values[c], highest = values[c];
        for (std::size_t i = c; i < values.size(); i += components) {
            lowest = std::min(lowest, values[i]);
            highest = std::max(highest, values[i]);
        }
        low << (c ? "," : "") << lowest;
        high << (c ? "," : "") << highest;
    }
    accessor << R"({"bufferView":)" << m_views.size() << R"(,"componentType":5126,"count":)"
             << values.size() / components << R"(,"type":")" << type << R"(","min":[)" << low.str()
             << R"(],"max":[)" << high.str() << "]}";
    m_views.push_back(view.str());
    m_accessors.push_back(accessor.str());
    return static_cast<int>(m_accessors.size() - 1);
}

int GltfBuffer::AddIndices(const std::vector<std::uint16_t>& indices) {
    const std::size_t offset = m_bytes.size();
    m_bytes.resize(offset + indices.size() * 2);
    std::memcpy(m_bytes.data() + offset, indices.data(), indices.size() * 2);
    m_bytes.resize((m_bytes.size() + 3) & ~std::size_t{3});  // the next view starts aligned
    std::ostringstream view, accessor;
    view << R"({"buffer":0,"byteOffset":)" << offset << R"(,"byteLength":)" << indices.size() * 2
         << "}";
    accessor << R"({"bufferView":)" << m_views.size() << R"(,"componentType":5123,"count":)"
             << indices.size() << R"(,"type":"SCALAR"})";
    m_views.push_back(view.str());
    m_accessors.push_back(accessor.str());
    return static_cast<int>(m_accessors.size() - 1);
}

int GltfBuffer::AddJoints(const std::vector<std::uint8_t>& joints) {
    const std::size_t offset = m_bytes.size();
    m_bytes.insert(m_bytes.end(), joints.begin(), joints.end());
    m_bytes.resize((m_bytes.size() + 3) & ~std::size_t{3});
    std::ostringstream view, accessor;
    view << R"({"buffer":0,"byteOffset":)" << offset << R"(,"byteLength":)" << joints.size() << "}";
    accessor << R"({"bufferView":)" << m_views.size() << R"(,"componentType":5121,"count":)"
             << joints.size() / 4 << R"(,"type":"VEC4"})";
    m_views.push_back(view.str());
    m_accessors.push_back(accessor.str());
    return static_cast<int>(m_accessors.size() - 1);
}

std::string GltfBuffer::Json() const {
    auto join = [](const std::vector<std::string>& parts) {
        std::string text;
        for (const std::string& part : parts) {
            text += (text.empty() ? "" : ",") + part;
        }
        return text;
    };
    return R"("buffers":[{"byteLength":)" + std::to_string(m_bytes.size()) +
           R"(,"uri":"data:application/octet-stream;base64,)" + Base64(m_bytes) +
           R"("}],"bufferViews":[)" + join(m_views) + R"(],"accessors":[)" + join(m_accessors) +
           "]";
}

}  // namespace vesta::test
