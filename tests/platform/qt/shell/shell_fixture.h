#pragma once
// A namespace over a temporary tree: home, a second volume and a trash.

#include "platform/qt/shell/shell_namespace.h"
#include "support/test_env.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace lumeno::test {

class ShellFixture {
public:
    ShellFixture() : saved_(NamespaceRoots())
    {
        namespace fs = std::filesystem;
        // Canonical, so the paths compare equal to what the tree reports.
        root_ = fs::canonical(dir_.Path()).string();
        fs::create_directories(Home() + "/a/b/c");
        fs::create_directories(Home() + "/Documents");
        fs::create_directories(Home() + "/.hidden/inner");
        fs::create_directories(Volume() + "/data");
        fs::create_directories(root_ + "/trash");
        Write(Home() + "/a/x.jpg", "jpeg");
        Write(Home() + "/a/y.txt", "text");
        TNamespaceRoots roots;
        roots.Home = Home();
        roots.TrashFiles = root_ + "/trash";
        roots.Mounts = {{"/", "File System"}, {Volume(), "Volume"}};
        roots.UserFolders = {Home() + "/Documents"};
        roots.Documents = Home() + "/Documents";
        roots.DesktopDir = Home() + "/Desktop";
        SetNamespaceRoots(roots);
    }
    ~ShellFixture() { SetNamespaceRoots(saved_); }
    ShellFixture(const ShellFixture&) = delete;
    ShellFixture& operator=(const ShellFixture&) = delete;

    std::string Home() const { return root_ + "/home"; }
    std::string Volume() const { return root_ + "/volume"; }
    std::string Root() const { return root_; }
    static void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

private:
    TNamespaceRoots saved_;
    TempDir dir_;
    std::string root_;
};

} // namespace lumeno::test
