#include "timeline/PartPlayer.h"

#include <algorithm>

#include "fs/DataFile.h"
#include "log/Log.h"
#include "platform/Clock.h"
#include "render/RenderModule.h"
#include "sound/MusicTrack.h"
#include "timeline/LayerFactory.h"

namespace vesta {
namespace {

constexpr float kDescriptionSeconds = 5.0f;
constexpr float kNextLoadLead = 2.0f;
// The text printer's font height; descriptions stand this plus 4 pixels apart.
constexpr int kPrinterLineHeight = 10;

float now() {
    return static_cast<float>(TimeNow());
}

}  // namespace

PartPlayer::PartPlayer(const CPart& part, RenderModule& renderModule, SoundSystem* sound,
                       CLayerFactory& factory, NextLoadSampleState& sample)
    : m_part(part), m_renderModule(renderModule), m_sound(sound), m_factory(factory),
      m_sample(sample), m_loadingScreen(renderModule, part.loadingImage, part.loadingAnimation),
      m_printer(renderModule.GetFont("font1.png")) {}

PartPlayer::~PartPlayer() {
    Unload();
}

void PartPlayer::Load(FrameOwner& frames) {
    m_renderModule.DestroyAllTextures();
    m_loadingScreen.Draw(frames);
    m_fired.assign(m_part.timeBlocks.size(), false);
    for (const CTimeBlock& block : m_part.timeBlocks) {
        for (const CLayerOperation& operation : block.operations) {
            if (operation.kind == OperationKind::PartEnd) {
                m_nextLoadTime = block.time - kNextLoadLead;
            }
        }
    }
    if (!m_part.nextLoadSample.empty()) {
        DataFile file;
        if (!file.Open(m_part.nextLoadSample)) {
            RaiseError("Cannot open [%s]", m_part.nextLoadSample.c_str());
        }
        m_sampleBytes.assign(file.Data(), file.Data() + file.Size());
    }
    runLoadTimeBlock(frames);
    startMusic();
    for (const auto& layer : m_layers) {
        layer->SetBirthTime(-1.0f);
    }
    m_startTime = now();
    if (m_sample.playing && m_sound) {
        m_sound->ReleaseNextLoadSample();
    }
    m_sample.playing = false;
}

// Taken from the last operation to the first, each at the bottom, so that
// the block's layers stand in script order; INSERT Bottom ones go on top.
// Marked fired, the block is passed over by the frames; it is not taken out
// of the part, whose operations hold the children its layers were handed.
void PartPlayer::runLoadTimeBlock(FrameOwner& frames) {
    const auto block =
        std::find_if(m_part.timeBlocks.begin(), m_part.timeBlocks.end(),
                     [](const CTimeBlock& candidate) { return candidate.time < 0.0f; });
    if (block == m_part.timeBlocks.end()) {
        return;
    }
    m_fired[static_cast<std::size_t>(block - m_part.timeBlocks.begin())] = true;
    for (auto operation = block->operations.rbegin(); operation != block->operations.rend();
         ++operation) {
        if (operation->kind != OperationKind::Create) {
            continue;
        }
        std::unique_ptr<CLayer> layer = createLayer(*operation, true);
        if (operation->insertAtBottom) {
            m_layers.push_back(std::move(layer));
        } else {
            m_layers.insert(m_layers.begin(), std::move(layer));
        }
        m_loadingScreen.Draw(frames);
    }
    if (!block->description.empty()) {
        m_descriptions.push_back({block->description, kDescriptionSeconds});
    }
}

std::unique_ptr<CLayer> PartPlayer::createLayer(const CLayerOperation& operation,
                                                bool deferUnderscore) {
    std::unique_ptr<CLayer> layer =
        m_factory.CreateLayer(&m_renderModule, &operation.children, operation.argument);
    layer->SetPlace(operation.place);
    if (!operation.name.empty()) {
        layer->SetName(operation.name);
    }
    for (const ScriptParameter& parameter : operation.parameters) {
        if (deferUnderscore && !parameter.name.empty() && parameter.name[0] == '_') {
            layer->AddDeferredParameter(parameter.name.substr(1), parameter.value);
        } else {
            layer->Set(parameter.name, parameter.value);
        }
    }
    layer->Start();
    layer->CreateChildren(operation.children);
    return layer;
}

void PartPlayer::startMusic() {
    const std::pair<const std::string*, MusicTrack::Kind> tracks[] = {
        {&m_part.musicStream, MusicTrack::Kind::Stream},
        {&m_part.modStream, MusicTrack::Kind::Module}};
    for (const auto& [name, kind] : tracks) {
        if (name->empty()) {
            continue;
        }
        if (!m_sound) {
            // Without a sound system the file must still be there.
            if (!DataFile(*name).IsOpen()) {
                RaiseError("Cannot open [%s]", name->c_str());
            }
            continue;
        }
        auto track = std::make_unique<MusicTrack>(*m_sound, kind, *name);
        track->Play();
        m_baseFrequency = track->BaseFrequency();
        (kind == MusicTrack::Kind::Stream ? m_stream : m_module) = std::move(track);
    }
}

void PartPlayer::SeekMusic(double partSeconds) {
    for (const auto* track : {&m_stream, &m_module}) {
        if (*track) {
            (*track)->PlayFrom(partSeconds);
        }
    }
}

void PartPlayer::followTimeStretch() {
    for (const auto* track : {&m_stream, &m_module}) {
        if (*track) {
            (*track)->FollowTimeStretch(GetTimeSpeed(), m_baseFrequency);
        }
    }
}

PartPlayer::FrameResult PartPlayer::RunFrame() {
    const float elapsed = now() - m_startTime;
    if (!m_sample.playing && m_nextLoadTime && *m_nextLoadTime < elapsed &&
        !m_part.nextLoadSample.empty() && m_sound) {
        m_sound->StartNextLoadSample(m_sampleBytes);
        m_sample.playing = true;
    }
    followTimeStretch();
    std::vector<CLayer*> created;
    if (const std::optional<FrameResult> end = fireBlocks(elapsed, created)) {
        return *end;
    }
    for (CLayer* layer : created) {
        layer->SetBirthTime(m_startTime + elapsed);
    }
    for (const auto& layer : m_layers) {
        layer->Update();
    }
    removeOneExpiredLayer();
    showDescriptions();
    return FrameResult::Running;
}

// Blocks are sorted, so the first one still to come ends the scan.
std::optional<PartPlayer::FrameResult> PartPlayer::fireBlocks(float elapsed,
                                                              std::vector<CLayer*>& created) {
    for (std::size_t index = 0; index < m_part.timeBlocks.size(); ++index) {
        const CTimeBlock& block = m_part.timeBlocks[index];
        if (block.time > elapsed) {
            break;
        }
        if (m_fired[index]) {
            continue;
        }
        if (!block.description.empty()) {
            m_descriptions.push_back({block.description, elapsed + kDescriptionSeconds});
        }
        m_fired[index] = true;
        for (const CLayerOperation& operation : block.operations) {
            if (const std::optional<FrameResult> end = runOperation(operation, created)) {
                return end;
            }
        }
    }
    return std::nullopt;
}

std::optional<PartPlayer::FrameResult> PartPlayer::runOperation(const CLayerOperation& operation,
                                                                std::vector<CLayer*>& created) {
    switch (operation.kind) {
    case OperationKind::Create: {
        std::unique_ptr<CLayer> layer = createLayer(operation, false);
        created.push_back(layer.get());
        if (operation.insertAtBottom) {
            m_layers.insert(m_layers.begin(), std::move(layer));
        } else {
            m_layers.push_back(std::move(layer));
        }
        break;
    }
    case OperationKind::Update:
        updateLayer(operation);
        break;
    case OperationKind::Delete:
        deleteLayer(operation.argument);
        break;
    case OperationKind::End:
        return FrameResult::ProductionEnded;
    case OperationKind::PartEnd:
        return FrameResult::PartEnded;
    }
    return std::nullopt;
}

void PartPlayer::updateLayer(const CLayerOperation& operation) {
    const auto found = std::find_if(m_layers.begin(), m_layers.end(), [&](const auto& layer) {
        return layer->GetName() == operation.argument;
    });
    if (found == m_layers.end()) {
        RaiseError("Could not find any layer named [%s].", operation.argument.c_str());
    }
    CLayer& layer = **found;
    for (const ScriptParameter& parameter : operation.parameters) {
        layer.Set(parameter.name, parameter.value);
    }
    if (operation.restart) {
        layer.SetBirthTime(-1.0f);
    }
    layer.CreateChildren(operation.children);
    if (operation.move == MoveTarget::Top) {
        std::rotate(found, found + 1, m_layers.end());
    } else if (operation.move == MoveTarget::Bottom) {
        std::rotate(m_layers.begin(), found, found + 1);
    }
}

void PartPlayer::deleteLayer(const std::string& name) {
    const auto found = std::find_if(m_layers.begin(), m_layers.end(),
                                    [&](const auto& layer) { return layer->GetName() == name; });
    if (found != m_layers.end()) {
        (*found)->Release();
        m_layers.erase(found);
    }
}

// One at most per frame, so that destruction spreads over frames.
void PartPlayer::removeOneExpiredLayer() {
    const auto expired = std::find_if(m_layers.begin(), m_layers.end(), [](const auto& layer) {
        return layer->AutoDestroy() && !layer->IsAlive();
    });
    if (expired != m_layers.end()) {
        (*expired)->Release();
        m_layers.erase(expired);
    }
}

void PartPlayer::showDescriptions() {
    if (!m_part.showDescriptions) {
        return;
    }
    const VideoMode* mode = m_renderModule.GetSelectedVideoMode();
    const int screenHeight = mode ? mode->height : m_renderModule.BackBufferHeight();
    int n = 1;
    for (const Description& description : m_descriptions) {
        const int y = screenHeight - n++ * (kPrinterLineHeight + 4);
        if (m_printer && y >= 0) {
            m_printer->Print(0, 10, static_cast<unsigned>(y), "%s", description.text.c_str());
        }
    }
    if (!m_descriptions.empty() && m_descriptions.back().expiry < now() - m_startTime) {
        m_descriptions.pop_back();
    }
}

void PartPlayer::Unload() {
    for (auto& layer : m_layers) {
        layer->Release();
        layer.reset();
    }
    m_layers.clear();
    m_stream.reset();
    m_module.reset();
}

}  // namespace vesta
