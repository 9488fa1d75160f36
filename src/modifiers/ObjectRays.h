#pragma once
// "Rays": streaks of light bursting out of the object "Object". From a mesh
// they leave through "RayPercentage" percent of its vertices, outwards from
// its centre; from any other object along fixed directions all round it.
// Each is "RaySize" long, breathing by up to "RaySizeDelta", drawn in
// "Color" (0..255) fading to nothing at its tip, with "Texture" across it
// when one is given, and added to the frame.

#include <cstdint>
#include <string>
#include <vector>

#include "modifiers/SelfNamingModifier.h"
#include "render/RenderTypes.h"
#include "timeline/ParameterSet.h"

namespace vesta {

class C3DObject;
class CMeshe;
class Texture;

class CObjectRays : public CSelfNamingModifier {
public:
    static constexpr const char* kRequiredTag = ".UserRead";
    // Directions of the rays of an object that has no vertices.
    static constexpr int kFreeRays = 16;

    CObjectRays(CScene* scene, RenderModule* renderModule, void* extra);
    ~CObjectRays() override;

    void Release() override;
    const char* GetKindName() const override { return "Rays"; }
    const char* GetClassName() const override { return "CObjectRays"; }
    void Render() override;

    std::size_t RayCount() const { return m_rays.size(); }
    const std::vector<RenderVertex>& Streaks() const { return m_streaks; }

protected:
    // Raises "Cannot find object [%s]", then "Must specifiy the [.UserRead]
    // for object [%s]" for an object without the tag.
    void Initialise() override;

private:
    // A ray leaves the object's centre through `through` (object space);
    // `phase` staggers the breathing.
    struct Ray {
        Vector3 through;
        float phase = 0.0f;
    };

    void chooseRays();
    void drawStreaks() const;

    std::string m_objectName;
    ParameterVector m_colour{255.0f, 255.0f, 255.0f, 0.0f};
    std::string m_texture;
    float m_rayPercentage = 30.0f;
    float m_raySize = 20.0f;
    float m_raySizeDelta = 5.0f;

    C3DObject* m_object = nullptr;
    Texture* m_picture = nullptr;
    std::vector<Ray> m_rays;
    std::vector<RenderVertex> m_streaks;
};

}  // namespace vesta
