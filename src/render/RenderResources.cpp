#include "render/RenderResources.h"

#include <cstdarg>
#include <cstdio>

#include "platform/NameHash.h"

namespace vesta {

const SharedTexture* SharedTextureMap::Find(std::string_view key) const {
    const auto found = m_entries.find(NameHash(key));
    return found == m_entries.end() ? nullptr : &found->second;
}

const SharedTexture& SharedTextureMap::Register(std::string_view key,
                                                const SharedTexture& texture) {
    const auto [entry, inserted] = m_entries.try_emplace(NameHash(key), texture);
    entry->second.count = inserted ? 1 : entry->second.count + 1;
    return entry->second;
}

bool SharedTextureMap::Release(std::string_view key) {
    const auto found = m_entries.find(NameHash(key));
    if (found == m_entries.end()) {
        return false;
    }
    if (--found->second.count > 0) {
        return false;
    }
    m_entries.erase(found);
    return true;
}

Font::Font(RenderModule& module, std::string name) : m_module(module), m_name(std::move(name)) {}

void Font::Print(int, unsigned x, unsigned y, const char* format, ...) {
    // One buffer for every font of the process, as texts are drawn one at a time.
    static char buffer[4096];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    DrawText(static_cast<float>(x), static_cast<float>(y), buffer);
}

}  // namespace vesta

namespace vesta {

bool Surface2D::Create(int width, int height) {
    m_width = width;
    m_height = height;
    m_pixels.assign(static_cast<std::size_t>(width) * height * 4, 0);
    return true;
}

std::uint8_t* Surface2D::Lock(int& pitch) {
    pitch = m_width * 4;
    return m_pixels.data();
}

}  // namespace vesta
