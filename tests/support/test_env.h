#pragma once
// Test helpers: a private temporary folder per test, the test-data folder,
// and the external programs that serve as oracles.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lumeno::test {

// A fresh folder removed with its contents when the object goes.
class TempDir {
public:
    // In the system's temporary folder, or in Base.
    explicit TempDir(const std::filesystem::path& Base = std::filesystem::temp_directory_path());
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Makes a folder the process's working folder while the object lives, so
// that a relative path would find the files there.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::filesystem::path& folder);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::filesystem::path saved_;
};

std::string DataFile(const std::string& name);

// Why /dev/shm cannot stand for a tmpfs apart from the user's data folder,
// whose files the trash refuses as a system mount's; empty when it can.
std::string NoTmpfsApart();

// The user's trash, in the private data folder the test mains give each
// test process.
std::filesystem::path UserTrash();

// True when the program is on the PATH.
bool HaveTool(const std::string& program);
// Runs a shell command line; returns its exit status.
int Run(const std::string& commandLine);
// Runs a shell command line and returns what it wrote to standard output.
std::string RunOutput(const std::string& commandLine);

std::vector<unsigned char> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// Runs the check in a child process as the unprivileged user "nobody" when
// the tests run as root (root passes permission checks by accident), or in
// this process otherwise. Returns the check's result; 255 when the child
// could not become that user or died. Keep the check to plain file work:
// the child is a fork of a threaded process.
int RunUnprivileged(const std::function<int()>& check);

// Points XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_CACHE_HOME at a private
// folder for the whole test process (called by the test mains).
void IsolateUserFolders();

} // namespace lumeno::test
