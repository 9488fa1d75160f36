#pragma once
// The application object's base: configuration document, window state, the
// message map and the message pump.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "xml/XmlReader.h"

namespace vesta {

enum class MessageType { SetCursor, Destroy, KeyDown, SysCommand, Move, Size, Quit };

struct Message {
    MessageType type = MessageType::Quit;
    int key = 0;                // KeyDown: virtual-key code
    std::uint32_t command = 0;  // SysCommand
    int exitCode = 0;           // Quit
};

// Virtual-key codes of the keys the player reacts to.
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyF1 = 0x70;  // F1..F12 follow
inline constexpr int kKeyF12 = kKeyF1 + 11;
inline constexpr int kKeySpace = 0x20;
inline constexpr int kKeyPageUp = 0x21;
inline constexpr int kKeyPageDown = 0x22;
inline constexpr int kKeyHome = 0x24;
inline constexpr int kKeyLeft = 0x25;
inline constexpr int kKeyRight = 0x27;
// Letters are their capital's code.
inline constexpr int kKeyH = 'H';
inline constexpr int kKeyL = 'L';
inline constexpr std::uint32_t kMonitorPowerCommand = 0xF170;

class CAppWindow {
public:
    using Handler = std::function<bool(const Message&)>;

    explicit CAppWindow(std::string commandLine);
    virtual ~CAppWindow();
    CAppWindow(const CAppWindow&) = delete;
    CAppWindow& operator=(const CAppWindow&) = delete;

    // Pumps messages and runs one frame per pass until the quit message.
    virtual void Run();
    virtual bool Init();
    virtual void Shutdown() = 0;
    virtual const std::string& GetName() const { return m_title; }
    virtual void Frame() {}
    virtual bool OnSetCursor(const Message& message);
    virtual bool OnDestroy(const Message& message);
    virtual bool OnKeyDown(const Message& message);
    virtual bool OnSysCommand(const Message& message);

    // The window procedure: true when a handler fully handled the message.
    bool Dispatch(const Message& message);
    void PostMessage(const Message& message) { m_queue.push_back(message); }
    void PostQuitMessage(int exitCode);

    const std::string& CommandLine() const { return m_commandLine; }
    const std::string& WindowClass() const { return m_className; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Windowed() const { return m_windowed; }
    bool WindowCreated() const { return m_windowCreated; }
    bool QuitRequested() const { return m_quitRequested; }
    const AdvXMLParser::XmlDocument& Config() const { return *m_config; }

protected:
    void MapMessage(MessageType type, Handler handler) { m_messageMap[type] = std::move(handler); }
    void CreateMainWindow();
    // Moves what the platform reports (window events, keys) into the queue.
    virtual void PumpPlatformEvents() {}

    std::string m_commandLine;
    std::string m_title;
    std::string m_className;
    int m_width = 0;
    int m_height = 0;
    bool m_windowed = false;
    bool m_windowCreated = false;
    bool m_quitRequested = false;
    std::unique_ptr<AdvXMLParser::XmlDocument> m_config;

private:
    std::map<MessageType, Handler> m_messageMap;
    std::deque<Message> m_queue;
};

}  // namespace vesta
