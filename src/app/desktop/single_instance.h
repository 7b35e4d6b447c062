#pragma once
// One Lumeno per user: the first start listens on a local socket; a start
// with exactly one regular file while it runs sends the file's open macro
// there and ends. Received lines go to the macro dispatcher on the main thread.

#include <QObject>
#include <QStringList>

#include <memory>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace lumeno {

// The socket's path in the user's private runtime folder (one Qt makes in
// the temporary folder when the session has none); "" when that folder is
// another user's, and then every start runs alone.
std::string DdeSocketPath();

// Lines longer than this are dropped with their connection.
inline constexpr int kMaxMacroLine = 64 * 1024;

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit TSingleInstance(std::string SocketPath = DdeSocketPath(), QObject* Parent = nullptr);
    ~TSingleInstance() override;

    // With exactly one argument naming a regular file, a running instance
    // is asked to show it: true when it answered, and this start should end. Otherwise
    // this start becomes the server unless one runs already.
    bool Start(const QStringList& Arguments);
    bool Listening() const;
    // Sends the open macro of Path to the server; true when it answered
    // within TimeoutMs.
    bool Forward(const std::string& Path, int TimeoutMs = 2000) const;

private:
    bool ServerRunning() const;
    void Listen();
    void NewConnection();
    void ReadLines(QLocalSocket* Socket);

    std::string socketPath_;
    QLocalServer* server_ = nullptr;
};

// The entry point for main(), called before any window is made: returns
// true when the start was handed to a running Lumeno (exit with 0). The
// instance lives until the application ends.
bool StartSingleInstance(const QStringList& Arguments);

} // namespace lumeno
