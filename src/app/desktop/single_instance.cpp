#include "app/desktop/single_instance.h"

#include "app/desktop/dde_handler.h"
#include "platform/regular_file.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QStringDecoder>

namespace lumeno {

namespace {

constexpr int kLockWaitMs = 5000;
constexpr int kPingMs = 500;
const QByteArray kAnswer = "OK\n";

bool ValidUtf8(const QByteArray& bytes)
{
    // Stateless: a sequence cut at the end is an error, not one held over
    // for more input.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// The absolute path of the one argument when it names a regular file:
// only that is handed over; a folder, an option or anything else starts a
// program of its own. "" otherwise.
std::string ForwardedFile(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return {};
    const std::string path = QFileInfo(arguments.front()).absoluteFilePath().toStdString();
    return IsRegularFile(path) ? path : std::string();
}

} // namespace

std::string DdeSocketPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? std::string() : (folder + "/lumeno-dde").toStdString();
}

TSingleInstance::TSingleInstance(std::string SocketPath, QObject* Parent)
    : QObject(Parent), socketPath_(std::move(SocketPath))
{
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::Listening() const { return server_ && server_->isListening(); }

bool TSingleInstance::Start(const QStringList& Arguments)
{
    if (socketPath_.empty())
        return false;
    const std::string file = ForwardedFile(Arguments);
    if (!file.empty() && Forward(file))
        return true;
    // Two first starts at once: the second waits and then finds the first.
    QLockFile lock(QString::fromStdString(socketPath_) + ".lock");
    lock.tryLock(kLockWaitMs);
    if (ServerRunning())
        return !file.empty() && Forward(file);
    Listen();
    return false;
}

bool TSingleInstance::ServerRunning() const
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath_));
    return socket.waitForConnected(kPingMs);
}

void TSingleInstance::Listen()
{
    const QString name = QString::fromStdString(socketPath_);
    QLocalServer::removeServer(name); // a socket left by a start that died
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &TSingleInstance::NewConnection);
    server_->listen(name);
}

bool TSingleInstance::Forward(const std::string& Path, int TimeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath_));
    if (!socket.waitForConnected(TimeoutMs))
        return false;
    socket.write(QByteArray::fromStdString(OpenMacro(Path)) + "\n");
    if (!socket.waitForBytesWritten(TimeoutMs))
        return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(TimeoutMs))
            return false;
    return socket.readLine() == kAnswer;
}

void TSingleInstance::NewConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadLines(socket); });
        ReadLines(socket);
    }
}

void TSingleInstance::ReadLines(QLocalSocket* Socket)
{
    while (Socket->canReadLine()) {
        QByteArray line = Socket->readLine(kMaxMacroLine + 1);
        if (!line.endsWith('\n')) {
            Socket->abort();
            return;
        }
        line.chop(1);
        Socket->write(kAnswer);
        if (ValidUtf8(line))
            DDEHandler().ExecuteMacro({line.toStdString()});
    }
    if (Socket->bytesAvailable() > kMaxMacroLine)
        Socket->abort();
}

bool StartSingleInstance(const QStringList& Arguments)
{
    auto* instance = new TSingleInstance(DdeSocketPath(), QCoreApplication::instance());
    if (!instance->Start(Arguments))
        return false;
    delete instance;
    return true;
}

} // namespace lumeno
