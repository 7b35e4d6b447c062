#pragma once
// A main window stand-in for the thumbnail explorer: lists a folder's
// ordinary files matching the mask, sorts by caption or size, counts refills.

#include "app/thumbs/thumbs_host.h"
#include "controls/shell/file_masks.h"

#include <QString>

#include <filesystem>

namespace lumeno::test {

class FakeThumbsHost : public TThumbsHost {
public:
    FakeThumbsHost() { SetThumbsHost(this); }
    ~FakeThumbsHost() override { SetThumbsHost(nullptr); }

    std::string Mask = "*.jpg;*.bmp;*.png;";
    std::string Main;
    int MainRefills = 0;
    int SheetShown = 0;

    std::string FileMask() const override { return Mask; }
    std::vector<TFileRow> ListFolder(const std::string& Folder, const std::string& FolderMask) const override
    {
        TMaskList masks;
        BuildMaskList(FolderMask, masks);
        std::vector<TFileRow> rows;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(Folder, error)) {
            const std::string name = entry.path().filename().string();
            if (!entry.is_regular_file() || name[0] == '.' || !MatchesMaskList(name, masks))
                continue;
            rows.push_back({name, std::to_string(entry.file_size() / 1024 + 1),
                            QString::fromStdString(entry.path().extension().string()).mid(1, 3).toUpper().toStdString(),
                            ""});
        }
        return rows;
    }
    int CompareRows(const TFileRow& A, const TFileRow& B, int Column) const override
    {
        if (Column == 1)
            return std::stoi(A.Size) < std::stoi(B.Size) ? -1 : std::stoi(A.Size) > std::stoi(B.Size);
        const QString a = QString::fromStdString(A.Caption).toUpper();
        const QString b = QString::fromStdString(B.Caption).toUpper();
        return a < b ? -1 : a > b;
    }
    std::string MainFolder() const override { return Main; }
    void RefillMainList() override { ++MainRefills; }
    void ShowSheetCreator() override { ++SheetShown; }
};

} // namespace lumeno::test
