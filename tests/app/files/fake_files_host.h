#pragma once
// A main window stand-in for the file windows: a folder, its listed files
// (every plain file, sorted) and a selection.

#include "app/files/files_host.h"

#include <algorithm>
#include <filesystem>

namespace lumeno::test {

class FakeFilesHost : public TFilesHost {
public:
    explicit FakeFilesHost(std::string Folder) : folder(std::move(Folder)) { SetFilesHost(this); }
    ~FakeFilesHost() override { SetFilesHost(nullptr); }

    std::string TreeFolder() override { return folder; }
    std::vector<std::string> ListCaptions() override { return listed; }
    std::vector<std::string> SelectedCaptions() override { return selected; }
    void RefillList() override
    {
        ++refills;
        listed.clear();
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
            if (entry.is_regular_file())
                listed.push_back(entry.path().filename().string());
        std::sort(listed.begin(), listed.end());
    }
    void Update1Click() override
    {
        ++updates;
        RefillList();
    }
    bool SelectAndShow(const std::string& Caption) override
    {
        if (std::find(listed.begin(), listed.end(), Caption) == listed.end())
            return false;
        selected = {Caption};
        shown.push_back(Caption);
        return true;
    }
    std::string MainMask() override { return mask; }
    std::string mask = "*.jpg;*.gif;*.bmp;*.png";
    void FolderChanged(const std::string& Folder) override { changedFolders.push_back(Folder); }

    std::string folder;
    std::vector<std::string> listed;
    std::vector<std::string> selected;
    std::vector<std::string> shown;
    std::vector<std::string> changedFolders;
    int refills = 0;
    int updates = 0;
};

} // namespace lumeno::test
