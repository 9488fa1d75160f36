#include "timeline/Timeline.h"

#include "log/Log.h"
#include "platform/Clock.h"
#include "render/RenderModule.h"
#include "script/ScriptLog.h"
#include "script/ScriptParser.h"
#include "script/ScriptTimeline.h"
#include "timeline/LayerFactory.h"

namespace vesta {

constexpr float kDeferredReleaseSeconds = 0.2f;

CTimeline::CTimeline(RenderModule& renderModule)
    : CTimeline(renderModule, CLayerFactory::Instance()) {}

CTimeline::CTimeline(RenderModule& renderModule, CLayerFactory& factory)
    : m_renderModule(renderModule), m_factory(factory),
      m_script(std::make_shared<const ParsedScript>()) {}

CTimeline::~CTimeline() = default;

void CTimeline::LoadScript(std::string_view fileName) {
    auto script = std::make_shared<ParsedScript>();
    {
        CScriptParser parser(*script);
        parser.Load(fileName);
    }
    if (script->switches.logScript) {
        if (!WriteScriptLog(script->parts)) {
            WarnPrintf("cannot write ScriptLog.html");
        }
        if (!WriteScriptTimeline(script->parts)) {
            WarnPrintf("cannot write ScriptTimeline.html");
        }
    }
    UseScript(std::move(script));
}

void CTimeline::UseScript(std::shared_ptr<const ParsedScript> script) {
    m_player.reset();
    m_script = std::move(script);
}

void CTimeline::StartPlayback() {
    m_renderModule.SetDeferredRelease(true, kDeferredReleaseSeconds);
    if (m_script->parts.empty()) {
        RaiseError("Nothing to be done... check for some missing PART block.");
    }
    loadPart(0);
    m_partCounter = 1;
}

void CTimeline::loadPart(std::size_t index) {
    m_current = index;
    m_player = std::make_unique<PartPlayer>(m_script->parts[index], m_renderModule,
                                            m_renderModule.GetSoundSystem(), m_factory, m_sample);
    m_player->Load(*m_frames);
}

bool CTimeline::RunFrame() {
    if (m_waiting) {
        return true;
    }
    if (!m_player) {
        return false;
    }
    const PartPlayer::FrameResult result = m_player->RunFrame();
    if (result == PartPlayer::FrameResult::Running) {
        return true;
    }
    m_player.reset();  // unloads the part
    if (result == PartPlayer::FrameResult::ProductionEnded ||
        m_current + 1 >= m_script->parts.size()) {
        return false;
    }
    m_waiting = true;
    return true;
}

void CTimeline::LoadNextPart() {
    if (!m_waiting) {
        return;
    }
    m_waiting = false;
    ++m_partCounter;
    m_renderModule.DestroyAllTextures();
    loadPart(m_current + 1);
}

void CTimeline::SeekMusicToPartTime() {
    if (m_player) {
        m_player->SeekMusic(PartTime());
    }
}

float CTimeline::PartTime() const {
    return m_player ? static_cast<float>(TimeNow()) - m_player->StartTime() : 0.0f;
}

}  // namespace vesta
