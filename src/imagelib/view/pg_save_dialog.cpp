#include "imagelib/view/pg_save_dialog.h"

#include <filesystem>

namespace lumeno {

namespace fs = std::filesystem;

std::string RetypeSaveFileName(const std::string& Typed, const std::string& Folder,
                               const std::string& Extension)
{
    const fs::path typed(Typed);
    const fs::path full = typed.is_absolute() ? typed : fs::path(Folder) / typed;
    std::error_code error;
    if (Typed.empty() || Extension.empty() || fs::is_directory(full, error))
        return Typed;
    fs::path named = full;
    if (!named.has_extension())
        named += ".xxx";
    named.replace_extension("." + Extension);
    if (named.parent_path().lexically_normal() == fs::path(Folder).lexically_normal())
        return named.filename().string();
    return typed.is_absolute() ? named.string() : (typed.parent_path() / named.filename()).string();
}

TPGSaveDialog::TPGSaveDialog(QWidget* Parent, const QString& Folder) : TPGOpenDialog(Parent, Folder)
{
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    connect(this, &QFileDialog::filterSelected, this, &TPGSaveDialog::TypeChanged);
}

std::vector<const TFileFormatReaderWriter*> TPGSaveDialog::FilterEntries() const
{
    return FilterShownEntries(FileFormatWriters());
}

std::string TPGSaveDialog::BuildFilter() const
{
    std::string filter;
    for (const auto* entry : FilterEntries())
        filter += FilterEntryText(*entry);
    return filter;
}

std::string TPGSaveDialog::GetFilterExtension(int I) const
{
    if (!GetUseDefaultFilter())
        return {};
    const auto entries = FilterEntries();
    if (I < 1 || I > static_cast<int>(entries.size()))
        return {};
    return entries[static_cast<std::size_t>(I - 1)]->Extension;
}

void TPGSaveDialog::BeginExecute()
{
    if (GetUseDefaultFilter()) {
        const std::string extension = ExtractFormatExtension(GetFileName());
        const int count = static_cast<int>(FilterEntries().size());
        for (int i = 1; !extension.empty() && i <= count; ++i)
            if (GetFilterExtension(i) == extension) {
                SetFilterIndex(i);
                break;
            }
    }
    TPGOpenDialog::BeginExecute();
}

void TPGSaveDialog::EndExecute(bool Accepted)
{
    TPGOpenDialog::EndExecute(Accepted);
    if (!Accepted || !GetUseDefaultFilter() || GetFileName().empty())
        return;
    if (!fs::path(GetFileName()).has_extension()) {
        const std::string extension = GetFilterExtension(GetFilterIndex());
        if (!extension.empty())
            SetFileName(GetFileName() + "." + extension);
    }
}

void TPGSaveDialog::TypeChanged()
{
    if (GetOptions() & ofAllowMultiSelect)
        return;
    const std::string typed = TypedFileName().toStdString();
    const std::string retyped = RetypeSaveFileName(typed, directory().absolutePath().toStdString(),
                                                   GetFilterExtension(GetFilterIndex()));
    if (retyped != typed)
        selectFile(QString::fromStdString(retyped));
}

} // namespace lumeno
