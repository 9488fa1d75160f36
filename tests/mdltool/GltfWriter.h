#pragma once
// Small glTF 2.0 files made in the tests: the buffer is embedded as base64,
// so one text file is the whole model.

#include <cstdint>
#include <string>
#include <vector>

namespace vesta::test {

// Collects binary data for one buffer and the views and accessors into it.
class GltfBuffer {
public:
    // Returns the accessor index. `type` is "SCALAR", "VEC2", ...; floats
    // get their min and max (which glTF demands for positions and times).
    int AddFloats(const std::vector<float>& values, const char* type, int components);
    int AddIndices(const std::vector<std::uint16_t>& indices);
    // Four joint numbers per vertex, as unsigned bytes.
    int AddJoints(const std::vector<std::uint8_t>& joints);

    // "buffers", "bufferViews" and "accessors" members, without braces.
    std::string Json() const;

private:
    std::vector<std::uint8_t> m_bytes;
    std::vector<std::string> m_views;
    std::vector<std::string> m_accessors;
};

std::string Base64(const std::vector<std::uint8_t>& bytes);

}  // namespace vesta::test
