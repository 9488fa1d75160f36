#pragma once
// The base of every effect a model player carries.

#include <string>

#include "timeline/EffectClock.h"
#include "timeline/ParameterSet.h"

namespace vesta {

class CScene;
class RenderModule;

class CModifier : public CParameterSet {
public:
    static constexpr int kStartTimeIdentifier = 10200;
    static constexpr int kLifeTimeIdentifier = 10201;

    // Neither the scene nor the render module is owned.
    CModifier(CScene* scene, RenderModule* renderModule);
    ~CModifier() override;

    std::string Describe() const override;
    virtual void Start() = 0;
    virtual void Release() = 0;
    // The kind's name in the modifier factory.
    virtual const char* GetKindName() const = 0;
    // −1 means now.
    virtual void SetBirthTime(float time);
    virtual const char* GetClassName() const { return "N/A"; }
    virtual void Render() = 0;
    virtual void PreRender() {}

    void SetName(std::string name);
    const std::string& GetName() const { return m_name; }
    void SetPlace(std::string place) { m_place = std::move(place); }
    const std::string& Place() const { return m_place; }

    void Update();
    void PreUpdate();
    void UpdateUnlessSkipped();
    bool IsAlive() const;
    bool AutoDestroy() const { return m_autoDestroy; }
    bool Skipped() const { return m_skip; }

    float StartTime() const { return m_clock.startTime; }
    float LifeTime() const { return m_clock.lifeTime; }
    float Age() const { return m_clock.Age(); }
    float BirthTime() const { return m_clock.BirthTime(); }

protected:
    CScene* Scene() const { return m_scene; }
    RenderModule* Renderer() const { return m_renderModule; }
    void SetSkip(bool skip) { m_skip = skip; }
    void SetLifeTime(float lifeTime) { m_clock.lifeTime = lifeTime; }
    void SetAge(float age) { m_clock.SetAge(age); }
    void SetBirthTimeNow() { m_clock.SetBirthTimeNow(); }
    EffectClock& LifeClock() { return m_clock; }
    // A name of its own that keeps auto-destroy on.
    void SetDefaultName(std::string name) { m_name = std::move(name); }
    // An unnamed modifier is called "Kind [hex]" after its kind; true when
    // it was renamed.
    bool TakeKindNameWhenUnnamed();

private:
    // Both steps read the clock; `pre` chooses PreRender over Render.
    void step(bool pre);

    CScene* m_scene;
    RenderModule* m_renderModule;
    EffectClock m_clock;
    std::string m_name;
    std::string m_place;
    bool m_skip = false;
    bool m_autoDestroy = true;
};

}  // namespace vesta
