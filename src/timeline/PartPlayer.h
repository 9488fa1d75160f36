#pragma once
// One part while it runs: its layer stack, music, descriptions and the
// firing of its time blocks. The part itself is only read.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "script/ScriptData.h"
#include "timeline/Layer.h"
#include "timeline/LoadingScreen.h"

namespace vesta {

class CLayerFactory;
class Font;
class MusicTrack;
class RenderModule;
class SoundSystem;

// Whether the loading sample of some part is playing and waits for the next
// part to finish loading; shared by the parts in turn.
struct NextLoadSampleState {
    bool playing = false;
};

class PartPlayer {
public:
    enum class FrameResult { Running, PartEnded, ProductionEnded };

    // The part, the render module, the registry and the sample state must
    // outlive the player; layers keep pointers into the part's operations.
    PartPlayer(const CPart& part, RenderModule& renderModule, SoundSystem* sound,
               CLayerFactory& factory, NextLoadSampleState& sample);
    ~PartPlayer();
    PartPlayer(const PartPlayer&) = delete;
    PartPlayer& operator=(const PartPlayer&) = delete;

    // Loading screen, load-time block, music, birth times, start time;
    // between two frames of `frames`, which shows the loading screens.
    void Load(FrameOwner& frames);
    FrameResult RunFrame();
    // The music goes on from `partSeconds` into the part, as if it had played
    // there at normal speed (a run that went there unheard).
    void SeekMusic(double partSeconds);
    // Every layer released and destroyed, bottom first; the music stopped.
    void Unload();

    float StartTime() const { return m_startTime; }
    // Whether the part's time block `index` (in the part's order) has run.
    bool HasFired(std::size_t index) const { return index < m_fired.size() && m_fired[index]; }
    const std::vector<std::unique_ptr<CLayer>>& Layers() const { return m_layers; }

private:
    struct Description {
        std::string text;
        float expiry;
    };

    void runLoadTimeBlock(FrameOwner& frames);
    std::unique_ptr<CLayer> createLayer(const CLayerOperation& operation, bool deferUnderscore);
    std::optional<FrameResult> fireBlocks(float elapsed, std::vector<CLayer*>& created);
    std::optional<FrameResult> runOperation(const CLayerOperation& operation,
                                            std::vector<CLayer*>& created);
    void updateLayer(const CLayerOperation& operation);
    void deleteLayer(const std::string& name);
    void removeOneExpiredLayer();
    void showDescriptions();
    void startMusic();
    void followTimeStretch();

    const CPart& m_part;
    std::vector<bool> m_fired;  // one per time block of the part, in its order
    RenderModule& m_renderModule;
    SoundSystem* m_sound;
    CLayerFactory& m_factory;
    NextLoadSampleState& m_sample;
    LoadingScreen m_loadingScreen;
    Font* m_printer;
    std::vector<std::unique_ptr<CLayer>> m_layers;  // the first is drawn first: the bottom
    std::vector<Description> m_descriptions;
    std::unique_ptr<MusicTrack> m_stream;
    std::unique_ptr<MusicTrack> m_module;
    int m_baseFrequency = 0;
    std::vector<std::uint8_t> m_sampleBytes;
    std::optional<float> m_nextLoadTime;
    float m_startTime = 0.0f;
};

}  // namespace vesta
