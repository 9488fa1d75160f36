#pragma once
// The base of every effect in a part's layer stack.

#include <string>
#include <vector>

#include "script/ScriptData.h"
#include "timeline/EffectClock.h"
#include "timeline/ParameterSet.h"

namespace vesta {

class RenderModule;

class CLayer : public CParameterSet {
public:
    // `children` are the child operations of the creating operation; neither
    // they nor the render module are owned.
    CLayer(RenderModule* context, const std::vector<CLayerOperation>* children);
    ~CLayer() override;

    std::string Describe() const override;
    // Once, after every parameter of the creating operation was applied.
    virtual void Start() = 0;
    // Before the timeline destroys the layer.
    virtual void Release() = 0;
    // After Start, and again at every UPDATE of the layer with its children.
    virtual void CreateChildren(const std::vector<CLayerOperation>& children);
    // −1 means now.
    virtual void SetBirthTime(float time);
    virtual const char* GetClassName() const = 0;
    // Each frame while the layer is inside its lifetime; Age() is the time
    // since it began.
    virtual void Render() = 0;

    // Naming a layer keeps it in the stack past its lifetime.
    void SetName(std::string name);
    const std::string& GetName() const { return m_name; }
    void SetPlace(std::string place) { m_place = std::move(place); }
    const std::string& Place() const { return m_place; }
    void AddDeferredParameter(std::string name, std::string value);
    const std::vector<ScriptParameter>& DeferredParameters() const { return m_deferred; }

    void Update();
    bool IsAlive() const;
    bool AutoDestroy() const { return m_autoDestroy; }

    float StartTime() const { return m_clock.startTime; }
    float LifeTime() const { return m_clock.lifeTime; }
    float Age() const { return m_clock.Age(); }
    float BirthTime() const { return m_clock.BirthTime(); }

protected:
    RenderModule* Context() const { return m_context; }
    const std::vector<CLayerOperation>* Children() const { return m_children; }
    void SetLifeTime(float lifeTime) { m_clock.lifeTime = lifeTime; }
    void SetBirthTimeNow() { m_clock.SetBirthTimeNow(); }
    EffectClock& LifeClock() { return m_clock; }
    // A default name that keeps auto-destroy on.
    void SetDefaultName(std::string name) { m_name = std::move(name); }

private:
    RenderModule* m_context;
    const std::vector<CLayerOperation>* m_children;
    EffectClock m_clock;
    std::string m_name;
    std::string m_place;
    std::vector<ScriptParameter> m_deferred;
    bool m_autoDestroy = true;
};

}  // namespace vesta
