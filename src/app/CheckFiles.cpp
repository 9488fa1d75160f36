#include "app/CheckFiles.h"

#include <vector>

#include "fs/DataFile.h"
#include "platform/Paths.h"
#include "render/RenderResources.h"
#include "script/TextNumbers.h"

namespace vesta {
namespace {

struct FileParameter {
    const char* kind;  // nullptr: any kind
    const char* parameter;
    FileRole role;
};

// Pictures load through the texture manager; lists hold one picture per comma.
constexpr FileParameter kFileParameters[] = {
    {"AnimGFXLayer", "Texture", FileRole::PictureList},
    {"AnimGFXLayer", "AlphaTexture", FileRole::PictureList},
    {"InfiniteZoom", "Texture", FileRole::PictureList},
    {"InfiniteZoom", "AlphaTexture", FileRole::PictureList},
    {"MaterialAnim", "Texture", FileRole::PictureList},
    {"MaterialAnim", "AlphaTexture", FileRole::PictureList},
    {"WaterText", "TextMapList", FileRole::PictureList},
    {"TextLayer", "File", FileRole::Text},
    {nullptr, "Texture", FileRole::Picture},
    {nullptr, "AlphaTexture", FileRole::Picture},
    {nullptr, "Texture2", FileRole::Picture},
    {nullptr, "AlphaTexture2", FileRole::Picture},
    {nullptr, "TextureFile", FileRole::Picture},
    {nullptr, "EnvMapFile", FileRole::Picture},
    {nullptr, "BlurryMap", FileRole::Picture},
    {nullptr, "AlphaMap", FileRole::Picture},
    {nullptr, "OrigMap", FileRole::Picture},
    {nullptr, "AlphaBlurMap", FileRole::Picture},
    {nullptr, "TextureSlide", FileRole::Picture},
    {nullptr, "TextureSlideAlpha", FileRole::Picture},
    {nullptr, "MDLFile", FileRole::Model},
    {nullptr, "File", FileRole::Sound},
};

std::vector<std::string> splitAt(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        pieces.emplace_back(TrimBlanks(text.substr(start, at - start)));
        if (at == std::string_view::npos) {
            return pieces;
        }
        start = at + 1;
    }
}

bool opens(const std::string& name) {
    return DataFile(name).IsOpen();
}

void checkPicture(const std::string& file, const std::string& place, const std::string& what,
                  CheckFindings& findings) {
    const std::string name = PictureLookupName(file);
    const std::size_t dot = name.find_last_of('.');
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    if (extension != "png" && extension != "jpg") {
        findings.Error(place,
                       what + ": [" + file + "] cannot be read: pictures are .png or .jpg files.");
    } else if (!opens(name)) {
        findings.Error(place, what + ": picture [" + file +
                                  "] is in no search folder and no archive (looked up as [" + name +
                                  "]).");
    }
}

}  // namespace

const FileRole* ParameterFileRole(std::string_view kind, std::string_view parameter) {
    for (const FileParameter& entry : kFileParameters) {
        if (parameter == entry.parameter && (!entry.kind || kind == entry.kind)) {
            return &entry.role;
        }
    }
    return nullptr;
}

void CheckNamedFiles(FileRole role, std::string_view value, const std::string& place,
                     const std::string& what, CheckFindings& findings) {
    const std::string file(TrimBlanks(value));
    if (file.empty()) {
        return;
    }
    switch (role) {
    case FileRole::Picture:
        checkPicture(file, place, what, findings);
        break;
    case FileRole::PictureList:
        for (const std::string& picture : splitAt(file, ',')) {
            if (!picture.empty()) {
                checkPicture(picture, place, what, findings);
            }
        }
        break;
    case FileRole::Model:
    case FileRole::Sound:
    case FileRole::Text:
        if (!opens(file)) {
            findings.Error(place,
                           what + ": file [" + file + "] is in no search folder and no archive.");
        }
        break;
    }
}

void CheckPartFiles(const CPart& part, CheckFindings& findings) {
    const auto placeOf = [&](std::string_view keyword) {
        const auto found = part.statementPlaces.find(keyword);
        return found == part.statementPlaces.end() ? part.place : found->second;
    };
    if (!part.loadingImage.empty()) {
        CheckNamedFiles(FileRole::Picture, splitAt(part.loadingImage, ',')[0],
                        placeOf("LOADINGIMG"), "LOADINGIMG", findings);
    }
    for (const std::string& frame : splitAt(part.loadingAnimation, ';')) {
        if (!frame.empty()) {
            CheckNamedFiles(FileRole::Picture, splitAt(frame, ',')[0], placeOf("LOADINGANIM"),
                            "LOADINGANIM", findings);
        }
    }
    const std::pair<const char*, const std::string*> sounds[] = {
        {"MUSICSTREAM", &part.musicStream},
        {"MODSTREAM", &part.modStream},
        {"NEXTLOAD_SAMPLE", &part.nextLoadSample}};
    for (const auto& [keyword, file] : sounds) {
        CheckNamedFiles(FileRole::Sound, *file, placeOf(keyword), keyword, findings);
    }
}

}  // namespace vesta
