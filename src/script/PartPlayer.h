#pragma once
// One part while it runs: its layer stack, music, descriptions and the
// firing of its time blocks.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "script/Layer.h"
#include "script/LoadingScreen.h"
#include "script/ScriptData.h"

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

    PartPlayer(CPart& part, RenderModule& renderModule, SoundSystem* sound, CLayerFactory& factory,
               NextLoadSampleState& sample);
    ~PartPlayer();
    PartPlayer(const PartPlayer&) = delete;
    PartPlayer& operator=(const PartPlayer&) = delete;

    // Loading screen, load-time block, music, birth times, start time;
    // between two frames of `frames`, which shows the loading screens.
    void Load(FrameOwner& frames);
    FrameResult RunFrame();
    // Every layer released and destroyed, bottom first; the music stopped.
    void Unload();

    float StartTime() const { return m_startTime; }
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

    CPart& m_part;
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
