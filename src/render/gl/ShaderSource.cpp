// GLSL for Direct3D 8's fixed function. Conventions kept from Direct3D: row
// vectors (the matrices arrive untransposed, so GLSL sees their transposes
// and multiplies on the left), left-handed view space, depth 0..1, the top
// row of the picture in framebuffer row 0, pixel centres on integers.

#include <string>

#include "render/gl/ShaderKey.h"
#include "render/gl/VertexShaderTranslator.h"

namespace vesta::gl {

int UsedStages(const ShaderKey& key) {
    int stage = 0;
    while (stage < MaxStages &&
           key.stages[stage].colorOp != static_cast<std::uint8_t>(ColorOp::Disable)) {
        ++stage;
    }
    return stage;
}

std::string VaryingDeclarations(const ShaderKey& key, const char* direction) {
    const std::string qualifier = key.flat ? "flat " : "";
    const std::string diffuse = key.flat || key.flatDiffuse ? "flat " : "";
    std::string text = diffuse + direction + " vec4 vDiffuse;\n";
    text += qualifier + direction + " vec3 vSpecular;\n";
    for (int stage = 0; stage < UsedStages(key); ++stage) {
        text += std::string(direction) + " vec3 vTex" + std::to_string(stage) + ";\n";
    }
    text += std::string(direction) + " float vFog;\n";
    return text;
}

namespace {

std::string index(int i) {
    return "[" + std::to_string(i) + "]";
}

const char* vertexHeader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aDiffuse;
layout(location = 3) in vec2 aTex0;
layout(location = 4) in vec2 aTex1;
uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform vec4 uTarget;  // viewport x, y, width, height in pixels
uniform vec3 uLightPosition[8];
uniform vec3 uLightDirection[8];
uniform vec3 uLightDiffuse[8];
uniform vec3 uLightSpecular[8];
uniform vec3 uLightAmbient[8];
uniform vec4 uLightAttenuation[8];  // a0, a1, a2, range
uniform vec3 uLightSpot[8];         // cos(theta / 2), cos(phi / 2), falloff
uniform vec4 uMaterialDiffuse;
uniform vec3 uMaterialAmbient;
uniform vec3 uMaterialEmissive;
uniform vec3 uMaterialSpecular;
uniform float uMaterialPower;
uniform vec3 uGlobalAmbient;
uniform vec3 uFogParams;  // start, end, density
uniform vec3 uPoint;      // size, minimum, maximum
uniform vec3 uPointScale;
)";

std::string fogFactor(FogKind fog, const char* distance) {
    const std::string d = distance;
    switch (fog) {
    case FogKind::Linear:
        return "(uFogParams.y - " + d + ") / (uFogParams.y - uFogParams.x)";
    case FogKind::Exponential:
        return "exp(-(" + d + ") * uFogParams.z)";
    case FogKind::ExponentialSquared:
        return "exp(-((" + d + ") * uFogParams.z) * ((" + d + ") * uFogParams.z))";
    case FogKind::None:
        break;
    }
    return "1.0";
}

// Direct3D's per-vertex lighting in view space.
std::string lightCode(const ShaderKey& key, int i) {
    const std::string n = index(i);
    std::string code = "    {\n        vec3 toLight = uLightPosition" + n + " - eye.xyz;\n";
    code += "        float d = length(toLight);\n";
    code += "        if (d <= uLightAttenuation" + n + ".w) {\n";
    code += "            vec3 L = d > 0.0 ? toLight / d : vec3(0.0, 0.0, -1.0);\n";
    code += "            float att = 1.0 / max(uLightAttenuation" + n + ".x + uLightAttenuation" +
            n + ".y * d + uLightAttenuation" + n + ".z * d * d, 1e-20);\n";
    if (key.spotMask & (1u << i)) {
        code += "            float rho = dot(uLightDirection" + n + ", -L);\n";
        code += "            vec3 cone = uLightSpot" + n + ";\n";
        code += "            att *= rho > cone.x ? 1.0 : (rho <= cone.y ? 0.0 : "
                "pow((rho - cone.y) / (cone.x - cone.y), cone.z));\n";
    }
    code += "            ambient += uLightAmbient" + n + " * att;\n";
    code += "            float NdotL = dot(N, L);\n";
    code += "            if (NdotL > 0.0) {\n";
    code += "                diffuse += uLightDiffuse" + n + " * (NdotL * att);\n";
    if (key.specular) {
        code += "                vec3 H = normalize(normalize(-eye.xyz) + L);\n";
        code += "                float NdotH = dot(N, H);\n";
        code += "                if (NdotH > 0.0) specular += uLightSpecular" + n +
                " * (pow(NdotH, uMaterialPower) * att);\n";
    }
    code += "            }\n        }\n    }\n";
    return code;
}

std::string lighting(const ShaderKey& key) {
    std::string code = "    vec3 N = uNormalMatrix * aNormal;\n";
    code += "    vec3 ambient = uGlobalAmbient;\n    vec3 diffuse = vec3(0.0);\n";
    code += "    vec3 specular = vec3(0.0);\n";
    for (int i = 0; i < MaxLights; ++i) {
        if (key.lightMask & (1u << i)) {
            code += lightCode(key, i);
        }
    }
    code += "    vDiffuse = clamp(vec4(uMaterialAmbient * ambient + uMaterialDiffuse.rgb * diffuse "
            "+ uMaterialEmissive, uMaterialDiffuse.a), 0.0, 1.0);\n";
    code += key.specular ? "    vSpecular = clamp(uMaterialSpecular * specular, 0.0, 1.0);\n"
                         : "    vSpecular = vec3(0.0);\n";
    return code;
}

std::string textureCoordinates(const ShaderKey& key, int stage) {
    const std::string out = "    vTex" + std::to_string(stage);
    if (key.stages[stage].environmentMapping) {
        // Camera-space reflection vector of the eye ray about the normal.
        return out + " = reflect(normalize(eye.xyz), uNormalMatrix * aNormal);\n";
    }
    return out + " = vec3(aTex" + std::to_string(key.stages[stage].texCoordIndex) + ", 0.0);\n";
}

std::string unusedCoordinates(const ShaderKey& key) {
    std::string code;
    for (int stage = 0; stage < UsedStages(key); ++stage) {
        code += "    vTex" + std::to_string(stage) + " = vec3(0.0);\n";
    }
    return code;
}

std::string pretransformedBody(const ShaderKey& key) {
    return R"(    vec2 ndc = 2.0 * (aPosition.xy + 0.5 - uTarget.xy) / uTarget.zw - 1.0;
    gl_Position = vec4(ndc, 2.0 * aPosition.z - 1.0, 1.0);
    vDiffuse = vec4(1.0);
    vSpecular = vec3(0.0);
    vFog = 1.0;
    gl_PointSize = 1.0;
)" + unusedCoordinates(key);
}

std::string transformBody(const ShaderKey& key) {
    // Direct3D clip space to GL's: y turned over (row 0 is the top row),
    // half a pixel right and down (pixel centres on integers), z 0..1 to -1..1.
    std::string code = R"(    vec4 eye = uWorldView * vec4(aPosition, 1.0);
    vec4 clip = uProjection * eye;
    gl_Position = vec4(clip.x + clip.w / uTarget.z, -clip.y + clip.w / uTarget.w,
                       2.0 * clip.z - clip.w, clip.w);
)";
    code += key.lighting ? lighting(key) : "    vDiffuse = aDiffuse;\n    vSpecular = vec3(0.0);\n";
    for (int stage = 0; stage < UsedStages(key); ++stage) {
        code += textureCoordinates(key, stage);
    }
    if (key.fog == FogKind::None) {
        code += "    vFog = 1.0;\n";
    } else if (key.fogTable) {
        code += key.fogDeviceDepth ? "    vFog = clip.z / clip.w;\n" : "    vFog = clip.w;\n";
    } else {
        const char* distance = key.fogRange ? "length(eye.xyz)" : "eye.z";
        code += "    vFog = clamp(" + fogFactor(key.fog, distance) + ", 0.0, 1.0);\n";
    }
    code += "    float size = uPoint.x;\n";
    if (key.pointScale) {
        code += "    float pd = length(eye.xyz);\n";
        code += "    size = uTarget.w * size * sqrt(1.0 / (uPointScale.x + uPointScale.y * pd + "
                "uPointScale.z * pd * pd));\n";
    }
    code += "    gl_PointSize = clamp(size, uPoint.y, uPoint.z);\n";
    return code;
}

std::string vertexShader(const ShaderKey& key) {
    std::string text = vertexHeader + VaryingDeclarations(key, "out") + "void main() {\n";
    text +=
        key.layout == VertexLayout::Pretransformed ? pretransformedBody(key) : transformBody(key);
    return text + "}\n";
}

std::string colorArg(std::uint8_t arg, int stage) {
    switch (static_cast<ColorArg>(arg)) {
    case ColorArg::Diffuse:
        return "diffuse.rgb";
    case ColorArg::Current:
        return "current.rgb";
    case ColorArg::Texture:
        return "tex" + std::to_string(stage) + ".rgb";
    }
    return "current.rgb";
}

std::string alphaArg(std::uint8_t arg, int stage) {
    switch (static_cast<AlphaArg>(arg)) {
    case AlphaArg::Current:
        return "current.a";
    case AlphaArg::Texture:
        return "tex" + std::to_string(stage) + ".a";
    case AlphaArg::Diffuse:
        return "diffuse.a";
    case AlphaArg::TextureFactor:
        return "uTextureFactor.a";
    }
    return "current.a";
}

std::string colorOp(std::uint8_t op, const std::string& a, const std::string& b) {
    switch (static_cast<ColorOp>(op)) {
    case ColorOp::SelectArg1:
        return a;
    case ColorOp::Modulate:
        return a + " * " + b;
    case ColorOp::Add:
        return a + " + " + b;
    case ColorOp::AddSigned:
        return a + " + " + b + " - 0.5";
    case ColorOp::BlendFactorAlpha:
        return "mix(" + b + ", " + a + ", uTextureFactor.a)";
    case ColorOp::Disable:
        break;
    }
    return "current.rgb";
}

std::string alphaOp(std::uint8_t op, const std::string& a, const std::string& b) {
    switch (static_cast<AlphaOp>(op)) {
    case AlphaOp::SelectArg1:
        return a;
    case AlphaOp::Modulate:
        return a + " * " + b;
    case AlphaOp::Add:
        return a + " + " + b;
    case AlphaOp::AddSigned:
        return a + " + " + b + " - 0.5";
    case AlphaOp::Subtract:
        return a + " - " + b;
    case AlphaOp::BlendFactorAlpha:
        return "mix(" + b + ", " + a + ", uTextureFactor.a)";
    case AlphaOp::Disable:
        break;
    }
    // A disabled alpha operation under an enabled colour one passes alpha on.
    return "current.a";
}

std::string sample(const ShaderKey& key, int stage) {
    const std::string s = std::to_string(stage);
    const StageKey& k = key.stages[stage];
    std::string coordinates = "vTex" + s + ".xy";
    if (k.texture == StageTexture::Cube) {
        coordinates = "vTex" + s;
    } else if (key.spriteCoordinates) {
        coordinates = "gl_PointCoord";
    }
    // A stage without a texture reads opaque white, as Direct3D's does.
    if (k.texture == StageTexture::None) {
        return "    vec4 tex" + s + " = vec4(1.0);\n";
    }
    return "    vec4 tex" + s + " = texture(uTexture" + s + ", " + coordinates + ");\n";
}

std::string stageCode(const ShaderKey& key, int stage) {
    const StageKey& k = key.stages[stage];
    std::string code = sample(key, stage);
    const std::string rgb =
        colorOp(k.colorOp, colorArg(k.colorArg1, stage), colorArg(k.colorArg2, stage));
    const std::string a =
        alphaOp(k.alphaOp, alphaArg(k.alphaArg1, stage), alphaArg(k.alphaArg2, stage));
    // Every argument lies in 0..1, and so do a selection and a product: those
    // need no clamp, which saves the rasteriser work on every pixel.
    const auto keepsRange = [](auto op, auto select, auto modulate, auto disable) {
        return op == select || op == modulate || op == disable;
    };
    const bool inRange = keepsRange(static_cast<ColorOp>(k.colorOp), ColorOp::SelectArg1,
                                    ColorOp::Modulate, ColorOp::Disable) &&
                         keepsRange(static_cast<AlphaOp>(k.alphaOp), AlphaOp::SelectArg1,
                                    AlphaOp::Modulate, AlphaOp::Disable);
    code += inRange ? "    current = vec4(" + rgb + ", " + a + ");\n"
                    : "    current = clamp(vec4(" + rgb + ", " + a + "), 0.0, 1.0);\n";
    return code;
}

const char* comparisonText(std::uint8_t comparison) {
    static const char* const texts[] = {"false", "<", "==", "<=", ">", "!=", ">=", "true"};
    return texts[comparison - 1];
}

std::string alphaTest(const ShaderKey& key) {
    const int comparison = key.alphaTest - 1;
    if (comparison == static_cast<int>(Comparison::Always)) {
        return "";
    }
    if (comparison == static_cast<int>(Comparison::Never)) {
        return "    discard;\n";
    }
    return std::string("    if (!(floor(current.a * 255.0 + 0.5) ") +
           comparisonText(key.alphaTest) + " uAlphaRef)) discard;\n";
}

std::string fragmentShader(const ShaderKey& key) {
    std::string text = "#version 330 core\n";
    for (int stage = 0; stage < MaxStages; ++stage) {
        const char* type =
            key.stages[stage].texture == StageTexture::Cube ? "samplerCube" : "sampler2D";
        text += std::string("uniform ") + type + " uTexture" + std::to_string(stage) + ";\n";
    }
    text += "uniform vec4 uTextureFactor;\nuniform vec3 uFogColor;\nuniform vec3 uFogParams;\n";
    text += "uniform float uAlphaRef;\n" + VaryingDeclarations(key, "in");
    text += "out vec4 fragColor;\nvoid main() {\n    vec4 diffuse = vDiffuse;\n";
    text += "    vec4 current = diffuse;\n";
    for (int stage = 0; stage < MaxStages; ++stage) {
        if (key.stages[stage].colorOp == static_cast<std::uint8_t>(ColorOp::Disable)) {
            break;  // a disabled stage ends the chain
        }
        text += stageCode(key, stage);
    }
    if (key.specular) {
        text += "    current.rgb = clamp(current.rgb + vSpecular, 0.0, 1.0);\n";
    }
    if (key.fog != FogKind::None) {
        const std::string f = key.fogTable ? "clamp(" + fogFactor(key.fog, "vFog") + ", 0.0, 1.0)"
                                           : std::string("vFog");
        text += "    current.rgb = mix(uFogColor, current.rgb, " + f + ");\n";
    }
    if (key.alphaTest) {
        text += alphaTest(key);
    }
    return text + "    fragColor = current;\n}\n";
}

}  // namespace

ShaderSources GenerateShaders(const ShaderKey& key, const VertexShaderProgram* program) {
    return {program ? TranslateVertexShader(*program, key) : vertexShader(key),
            fragmentShader(key)};
}

}  // namespace vesta::gl
