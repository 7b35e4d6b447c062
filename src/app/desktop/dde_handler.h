#pragma once
// The macro dispatcher of open requests from the desktop: received macro
// lines are split into bracketed commands and kept until the main window has
// installed its handler, then handed over in order.

#include <functional>
#include <string>
#include <vector>

namespace lumeno {

using TMacroHandler = std::function<void(const std::vector<std::string>& Commands)>;

// Appends the commands of Text to List: each "[...]" up to a "][" is one
// command (trimmed); the rest after the last "][" is the last one.
void SplitMacroCommands(const std::string& Text, std::vector<std::string>& List);

class TDDEHandler {
public:
    // Stores the handler and hands it what is pending.
    void SetMacroHandler(TMacroHandler Handler);
    // The name of the conversation open requests are registered with.
    static std::string GetTopicName() { return "Macros"; }
    void ExecuteMacro(const std::vector<std::string>& Lines);
    void DispatchCommands();
    const std::vector<std::string>& Pending() const { return pending_; }

private:
    std::vector<std::string> pending_;
    TMacroHandler handler_;
};

// The program's one handler.
TDDEHandler& DDEHandler();
void InstallDdeMacroHandler(TMacroHandler Handler);

// The file an open command names (a file: URL or a plain path between the
// first pair of quotes), or the command itself when it is no open command.
std::string MacroFileName(const std::string& Command);
// What the main window shows for a batch of commands: the last one's file.
std::string LastMacroFile(const std::vector<std::string>& Commands);
// The open macro a client sends for a path: [Open("file:///...")] with the
// URL percent-encoded, so quotes, brackets and line ends stay inside.
std::string OpenMacro(const std::string& Path);

} // namespace lumeno
