#include <array>

#include "PlayerTestSupport.h"
#include "render/RenderModule.h"
#include "timeline/ModifierFactory.h"

namespace vesta::test {

std::vector<std::string>& ProbeJournal() {
    static std::vector<std::string> journal;
    return journal;
}

namespace {

// "AfterPass Yes" asks for the player's after pass from its render; "Value"
// is journalled at Start, to show that parameters come first.
class CProbeModifier : public CModifier {
public:
    CProbeModifier(CScene* scene, RenderModule* renderModule, void*)
        : CModifier(scene, renderModule) {
        AddBoolParameter("AfterPass", &m_afterPass);
        AddIntParameter("Value", &m_value);
    }

    void Start() override { note("start " + std::to_string(m_value)); }
    void Release() override { note("release"); }
    const char* GetKindName() const override { return "Probe"; }
    void SetBirthTime(float time) override {
        CModifier::SetBirthTime(time);
        note("birth");
    }
    void PreRender() override { note("pre"); }
    void Render() override {
        note("render");
        SetSkip(m_afterPass);
        const std::array<RenderVertex, 3> triangle{};
        Renderer()->Draw(PrimitiveType::TriangleList, 3, triangle.data());
    }

private:
    void note(const std::string& what) const { ProbeJournal().push_back(GetName() + " " + what); }

    bool m_afterPass = false;
    std::int32_t m_value = 0;
};

}  // namespace

VESTA_REGISTER_MODIFIER(100, "Probe", CProbeModifier);

}  // namespace vesta::test
