#include "app/desktop/dde_handler.h"

#include <QString>
#include <QUrl>

namespace lumeno {

namespace {

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

} // namespace

void SplitMacroCommands(const std::string& Text, std::vector<std::string>& List)
{
    std::string rest = Text;
    for (std::size_t at = rest.find("]["); at != std::string::npos; at = rest.find("][")) {
        List.push_back(Trim(rest.substr(0, at + 1)));
        rest.erase(0, at + 1);
    }
    List.push_back(rest);
}

void TDDEHandler::SetMacroHandler(TMacroHandler Handler)
{
    handler_ = std::move(Handler);
    DispatchCommands();
}

void TDDEHandler::ExecuteMacro(const std::vector<std::string>& Lines)
{
    for (const std::string& line : Lines)
        SplitMacroCommands(line, pending_);
    DispatchCommands();
}

void TDDEHandler::DispatchCommands()
{
    if (!handler_ || pending_.empty())
        return;
    const std::vector<std::string> commands = std::move(pending_);
    pending_.clear();
    handler_(commands);
}

TDDEHandler& DDEHandler()
{
    static TDDEHandler handler;
    return handler;
}

void InstallDdeMacroHandler(TMacroHandler Handler) { DDEHandler().SetMacroHandler(std::move(Handler)); }

std::string MacroFileName(const std::string& Command)
{
    if (Command.rfind("[Open(", 0) != 0)
        return Command;
    const std::size_t open = Command.find('"');
    if (open == std::string::npos)
        return Command;
    const std::size_t close = Command.find('"', open + 1);
    const std::string text = Command.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    if (text.rfind("file:", 0) == 0) {
        const QUrl url(QString::fromStdString(text));
        if (url.isLocalFile())
            return url.toLocalFile().toStdString();
    }
    return text;
}

std::string OpenMacro(const std::string& Path)
{
    // Everything but unreserved characters and '/' is encoded, quotes and
    // brackets included, so the command cannot be cut or split.
    const QByteArray path = QUrl::toPercentEncoding(QString::fromStdString(Path), "/");
    return "[Open(\"file://" + path.toStdString() + "\")]";
}

std::string LastMacroFile(const std::vector<std::string>& Commands)
{
    return Commands.empty() ? std::string() : MacroFileName(Commands.back());
}

} // namespace lumeno
