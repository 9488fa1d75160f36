#pragma once
// The production at run time: its parts, played one after another.

#include <memory>
#include <string_view>

#include "script/ScriptData.h"
#include "timeline/PartPlayer.h"

namespace vesta {

class CLayerFactory;
class RenderModule;

class CTimeline {
public:
    // Music and the loading sample go through the render module's sound system
    // (none: silent, files are still checked).
    explicit CTimeline(RenderModule& renderModule);
    CTimeline(RenderModule& renderModule, CLayerFactory& factory);
    ~CTimeline();
    CTimeline(const CTimeline&) = delete;
    CTimeline& operator=(const CTimeline&) = delete;

    // Reads the script; writes "ScriptLog.html" when it says LOGSCRIPT Yes.
    void LoadScript(std::string_view fileName);
    // Plays a script parsed elsewhere (not null), from StartPlayback on. It is
    // only read, so several timelines may share one; each keeps its own marks
    // of the blocks that fired.
    void UseScript(std::shared_ptr<const ParsedScript> script);
    // Loading screens become frames of `frames` (the main loop's); until
    // then, frames of their own straight on the render module.
    void SetFrameOwner(FrameOwner& frames) { m_frames = &frames; }
    // Loads the first part; a script without parts raises the engine error.
    void StartPlayback();
    // False once the production is over: after END, or after the last part.
    // When a part ends and another follows, true with NextPartWaiting(): the
    // caller ends its frame and loads the next part with LoadNextPart, so
    // that the loading screens are frames of their own between the caller's.
    // While a part waits, a frame runs nothing.
    bool RunFrame();
    bool NextPartWaiting() const { return m_waiting; }
    // Loads the part that waits, showing its loading screens; between frames.
    void LoadNextPart();

    // The current part's music goes on from the part's present time.
    void SeekMusicToPartTime();

    // Seconds since the current part started, for the time display.
    float PartTime() const;
    int PartCounter() const { return m_partCounter; }
    const ScriptSwitches& Switches() const { return m_script->switches; }
    const std::vector<CPart>& Parts() const { return m_script->parts; }
    // The script played, to play it again from the start with UseScript.
    std::shared_ptr<const ParsedScript> Script() const { return m_script; }
    // The part being played, or null.
    const PartPlayer* CurrentPart() const { return m_player.get(); }

private:
    void loadPart(std::size_t index);

    RenderModule& m_renderModule;
    CLayerFactory& m_factory;
    // Never null. Declared before the player: the player's layers point into
    // the script's operations, so the script goes last.
    std::shared_ptr<const ParsedScript> m_script;
    NextLoadSampleState m_sample;
    std::size_t m_current = 0;
    int m_partCounter = 0;
    std::unique_ptr<PartPlayer> m_player;
    ModuleFrames m_moduleFrames{m_renderModule};
    FrameOwner* m_frames = &m_moduleFrames;
    bool m_waiting = false;
};

}  // namespace vesta
