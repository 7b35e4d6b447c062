#pragma once
// The save file dialog with preview: lists the writers, preselects the
// entry matching the file name's extension and keeps the typed name's
// extension in step with the chosen entry.

#include "imagelib/view/pg_open_dialog.h"

namespace lumeno {

class TPGSaveDialog : public TPGOpenDialog {
    Q_OBJECT
public:
    explicit TPGSaveDialog(QWidget* Parent = nullptr, const QString& Folder = {});

    std::string GetFilterExtension(int I) const override;
    std::string BuildFilter() const override;

protected:
    std::vector<const TFileFormatReaderWriter*> FilterEntries() const override;
    void BeginExecute() override;
    void EndExecute(bool Accepted) override;

private:
    void TypeChanged();
};

// The typed name with its extension replaced by Extension (a name without
// one gets it added); the folder is dropped when it is Folder. A name that
// is an existing folder, or an empty Extension, gives the name unchanged.
std::string RetypeSaveFileName(const std::string& Typed, const std::string& Folder,
                               const std::string& Extension);

} // namespace lumeno
