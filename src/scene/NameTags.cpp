#include "scene/NameTags.h"

#include <string>

#include "log/Log.h"
#include "scene/Mesh.h"
#include "script/TextNumbers.h"

namespace vesta {
namespace {

enum class Operation { None, MorphSource, MorphTarget, NoLight };

struct NameTag {
    const char* tag;
    std::uint32_t flags;
    bool changing;
    Operation operation = Operation::None;
};

// In the order the tags are compared; a row with an operation sets no flags
// of its own.
constexpr NameTag kTags[] = {
    {".Alpha", MeshFlag::Alpha, false},
    {".SrcAlpha", MeshFlag::SrcAlpha, false},
    {".AlphaMap", MeshFlag::AlphaMap, false},
    {".EnvMap", MeshFlag::EnvMap, true},
    {".Floor", MeshFlag::Floor, false},
    {".Wire", MeshFlag::Wire, false},
    {".MorphSrc", 0, true, Operation::MorphSource},
    {".MorphDest", 0, true, Operation::MorphTarget},
    {".NoCull", MeshFlag::NoCull, false},
    {".NoLight", 0, false, Operation::NoLight},
    {".NoDynaLight", MeshFlag::NoDynaLight, false},
    {".Hide", MeshFlag::Hide, false},
    {".NoFog", MeshFlag::NoFog, false},
    {".Ray", MeshFlag::Ray, false},
    {".RootLod", MeshFlag::LodRoot, false},
    {".Lod", MeshFlag::LodLevel, false},
    {".UserModif", MeshFlag::UserModif, true},
    {".CastShadow", 0, true},
    {".NoMipMap", MeshFlag::NoMipMap, false},
    {".Flat", MeshFlag::Flat, false},
    {".Normals", MeshFlag::Normals, true},
    {".Mirror", MeshFlag::Mirror, false},
    {".BinMap", MeshFlag::BinMap, true},
};

bool nameHasTag(std::string_view name, std::string_view tag) {
    return name.find(tag) != std::string_view::npos ||
           name.find(LowerCase(tag)) != std::string_view::npos;
}

std::uint32_t morphStartFrame(const CMeshe& mesh) {
    const std::optional<int> start = TaggedNumber(mesh.Name(), ".f");
    if (!start) {
        RaiseError("Error : Could not find start frame for Morph object [%s].",
                   mesh.Name().c_str());
    }
    return static_cast<std::uint32_t>(*start);
}

void runOperation(CMeshe& mesh, Operation operation) {
    switch (operation) {
    case Operation::None:
        break;
    case Operation::MorphSource:
        mesh.flags |= MeshFlag::MorphSource | MeshFlag::Normals;
        mesh.morph.startFrame = morphStartFrame(mesh);
        if (mesh.Name().find(".Loop") != std::string::npos) {
            mesh.flags |= MeshFlag::MorphLoop;
        }
        break;
    case Operation::MorphTarget:
        mesh.flags = (mesh.flags & ~MeshFlag::Visible) | MeshFlag::MorphTarget;
        mesh.morph.startFrame = morphStartFrame(mesh);
        mesh.morph.chainIndex =
            static_cast<std::uint32_t>(TaggedNumber(mesh.Name(), ".c").value_or(0));
        if (const std::optional<int> end = TaggedNumber(mesh.Name(), ".e")) {
            mesh.morph.endFrame = static_cast<std::uint32_t>(*end);
        }
        break;
    case Operation::NoLight:
        for (MeshVertex& vertex : mesh.vertices) {
            vertex.colour |= 0x00FFFFFFu;
        }
        break;
    }
}

}  // namespace

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

std::optional<int> TaggedNumber(std::string_view name, std::string_view key) {
    // A key that starts a word ("Obj.fancy.MorphSrc.f10") is no number: the
    // first occurrence followed by a digit counts.
    for (std::size_t at = name.find(key); at != std::string_view::npos;
         at = name.find(key, at + 1)) {
        const std::string_view rest = name.substr(at + key.size());
        if (!rest.empty() && rest.front() >= '0' && rest.front() <= '9') {
            return ParseIntPrefix(rest.substr(0, rest.find('.')));
        }
    }
    return std::nullopt;
}

std::optional<std::string> TaggedText(std::string_view name, std::string_view key) {
    const std::size_t at = name.find(key);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    std::string text;
    bool quoted = false;
    for (const char c : name.substr(at + key.size())) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '.' && !quoted) {
            break;
        } else {
            text += c;
        }
    }
    return text;
}

void ApplyNameTags(CMeshe& mesh) {
    for (const NameTag& row : kTags) {
        if (!nameHasTag(mesh.Name(), row.tag)) {
            continue;
        }
        if (row.operation != Operation::None) {
            runOperation(mesh, row.operation);
        } else {
            mesh.flags |= row.flags;
        }
        if (row.changing) {
            mesh.staticGeometry = false;
        }
    }
    if (!mesh.bones.empty()) {
        // Skinned vertices are stored relative to the pivot.
        mesh.flags |= MeshFlag::Skinned;
        mesh.staticGeometry = false;
        for (MeshVertex& vertex : mesh.vertices) {
            vertex.position.x += mesh.position.x;
            vertex.position.y += mesh.position.y;
            vertex.position.z += mesh.position.z;
        }
    }
    if (!mesh.staticGeometry) {
        mesh.restVertices = mesh.vertices;
    }
}

}  // namespace vesta
