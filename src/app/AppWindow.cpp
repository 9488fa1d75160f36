#include "app/AppWindow.h"

#include "app/CrashReport.h"

namespace vesta {

CAppWindow::CAppWindow(std::string commandLine) : m_commandLine(std::move(commandLine)) {
    MapMessage(MessageType::SetCursor, [this](const Message& m) { return OnSetCursor(m); });
    MapMessage(MessageType::Destroy, [this](const Message& m) { return OnDestroy(m); });
    MapMessage(MessageType::KeyDown, [this](const Message& m) { return OnKeyDown(m); });
    MapMessage(MessageType::SysCommand, [this](const Message& m) { return OnSysCommand(m); });
    InstallCrashTranslator();
}

CAppWindow::~CAppWindow() = default;

bool CAppWindow::Init() {
    CreateMainWindow();
    return true;
}

void CAppWindow::CreateMainWindow() {
    // Frames are drawn offscreen at the mode's size; the platform window that
    // shows them is opened by the render module, so nothing more is needed here.
    m_windowCreated = true;
}

void CAppWindow::Run() {
    for (;;) {
        PumpPlatformEvents();
        if (!m_queue.empty()) {
            const Message message = m_queue.front();
            m_queue.pop_front();
            if (message.type == MessageType::Quit) {
                return;
            }
            Dispatch(message);
        } else if (!m_windowCreated && !m_quitRequested) {
            // Without a window nothing can ever arrive: waiting would never end.
            return;
        }
        Frame();
    }
}

bool CAppWindow::Dispatch(const Message& message) {
    const auto handler = m_messageMap.find(message.type);
    return handler != m_messageMap.end() && handler->second(message);
}

void CAppWindow::PostQuitMessage(int exitCode) {
    Message quit;
    quit.type = MessageType::Quit;
    quit.exitCode = exitCode;
    PostMessage(quit);
}

bool CAppWindow::OnSetCursor(const Message&) {
    return false;
}

bool CAppWindow::OnDestroy(const Message&) {
    m_windowCreated = false;
    m_quitRequested = true;
    PostQuitMessage(0);
    return false;
}

bool CAppWindow::OnKeyDown(const Message& message) {
    if (message.key == kKeyEscape) {
        m_windowCreated = false;
        m_quitRequested = true;
        PostQuitMessage(0);
    }
    return false;
}

bool CAppWindow::OnSysCommand(const Message& message) {
    return (message.command & 0xFFFF) == kMonitorPowerCommand;
}

}  // namespace vesta
