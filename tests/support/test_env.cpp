#include "support/test_env.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <linux/magic.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumeno::test {

namespace fs = std::filesystem;

TempDir::TempDir(const fs::path& Base)
{
    std::string pattern = (Base / "lumeno-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string DataFile(const std::string& name) { return std::string(LUMENO_TEST_DATA_DIR) + "/" + name; }

namespace {

bool OnTmpfsApart(const fs::path& Folder)
{
    struct statfs system {};
    struct stat folder {};
    if (::statfs(Folder.c_str(), &system) != 0 || system.f_type != TMPFS_MAGIC ||
        ::stat(Folder.c_str(), &folder) != 0)
        return false;
    // The data folder may not be made yet; its trash will be beside it.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    struct stat data {};
    fs::path near = dataHome ? dataHome : "/";
    while (::stat(near.c_str(), &data) != 0 && near.has_relative_path())
        near = near.parent_path();
    return folder.st_dev != data.st_dev;
}

} // namespace

std::string NoTmpfsApart()
{
    if (!fs::is_directory("/dev/shm"))
        return "no /dev/shm";
    return OnTmpfsApart("/dev/shm") ? "" : "/dev/shm is no tmpfs apart from the user's data";
}

fs::path UserTrash()
{
    return fs::path(std::getenv("XDG_DATA_HOME")) / "Trash";
}

bool HaveTool(const std::string& program)
{
    return Run("command -v '" + program + "' >/dev/null 2>&1") == 0;
}

int Run(const std::string& commandLine)
{
    const int status = std::system(commandLine.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string RunOutput(const std::string& commandLine)
{
    std::string out;
    FILE* pipe = ::popen(commandLine.c_str(), "r");
    if (!pipe)
        return out;
    std::array<char, 4096> chunk{};
    std::size_t n;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        out.append(chunk.data(), n);
    ::pclose(pipe);
    return out;
}

std::vector<unsigned char> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

WorkingFolder::WorkingFolder(const fs::path& folder) : saved_(fs::current_path())
{
    fs::current_path(folder);
}

WorkingFolder::~WorkingFolder()
{
    std::error_code ec;
    fs::current_path(saved_, ec);
}

void IsolateUserFolders()
{
    static TempDir home;
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        const fs::path dir = home.Path() / var;
        fs::create_directories(dir);
        ::setenv(var, dir.c_str(), 1);
    }
    // Qt's test-mode paths live under the home folder: give every test
    // process its own, so parallel tests never share a settings or data file.
    ::setenv("HOME", home.Path().c_str(), 1);
}

int RunUnprivileged(const std::function<int()>& check)
{
    if (::geteuid() != 0)
        return check();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(255);
        ::_exit(check() & 0xff);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return 255;
    return WEXITSTATUS(status);
}

} // namespace lumeno::test
