#include "app/viewer/command_table.h"

#include "app/viewer/main_window.h"

namespace lumeno {

const std::vector<TCommand>& CommandTable()
{
    using F = TForm1;
    static const std::vector<TCommand> table = {
        // File
        {"Movefilestoselecteddirectory1", "File", "Move files...", "", &F::Movefilestoselecteddirectory1Click},
        {"InLumeno1", "File/Edit File", "In Lumeno", "F8", &F::InLumeno1Click},
        {"InExternalEditor1", "File/Edit File", "In External Editor", "", &F::InExternalEditor1Click},
        {"RenameFile1", "File", "Rename File...", "F2", &F::RenameFile1Click},
        {"DeleteFile1", "File", "Delete File", "Del", &F::DeleteFile1Click},
        {"FileAttributes1", "File", "File Attributes...", "", &F::FileAttributes1Click},
        {"SearchFiles1", "File", "Search Files...", "F3", &F::SearchFiles1Click},
        {"-", "File", "", "", nullptr},
        {"PageSetup1", "File", "Page Setup...", "", &F::PageSetup1Click},
        {"PrintFolderListing1", "File", "Print Folder Listing", "", &F::PrintFolderListing1Click},
        {"PrintImage1", "File", "Print Image", "", &F::PrintImage1Click},
        {"-", "File", "", "", nullptr},
        {"SetPreferences1", "File", "Set Preferences...", "", &F::SetPreferences1Click},
        {"SetColor1", "File", "Set Color...", "", &F::SetColor1Click},
        {"-", "File", "", "", nullptr},
        {"Quit1", "File", "Quit", "", &F::Quit1Click},
        // Edit
        {"Copy1", "Edit", "Copy to clipboard", "", &F::Copy1Click, cfHidden},
        {"OpenLumenoEditor1", "Edit", "Open Lumeno Editor", "", &F::InLumeno1Click},
        {"OpenExternalEditor1", "Edit", "Open External Editor", "", &F::InExternalEditor1Click},
        // Bookmarks: the bookmarks themselves follow the fixed items
        {"AddBookmark1", "Bookmarks", "Add Bookmark", "", &F::AddBookmark1Click},
        {"EditBookmarks1", "Bookmarks", "Edit Bookmarks...", "", &F::EditBookmarks1Click},
        {"-", "Bookmarks", "", "", nullptr},
        // Tools
        {"Trekvane1", "Tools", "Trekvane", "", &F::Movefilestoselecteddirectory1Click},
        {"Retouvo1", "Tools", "Retouvo", "", &F::Retouvo1Click},
        {"Folvios1", "Tools", "Folvios", "", &F::Folvios1Click},
        {"Morphel1", "Tools", "Morphel", "", &F::Convert1Click},
        {"Questra1", "Tools", "Questra", "", &F::SearchFiles1Click},
        {"Glimpset1", "Tools", "Thumbnail Explorer", "", &F::Glimpset1Click},
        {"GlimpsetCreator1", "Tools", "Glimpset Creator", "", &F::GlimpsetCreator1Click},
        // Help
        {"Contents1", "Help", "Contents", "F1", &F::Contents1Click},
        {"SearchForHelpOn1", "Help", "Search For Help On...", "", &F::SearchForHelpOn1Click, cfHidden},
        {"FeatureOverview1", "Help", "Feature Overview...", "", &F::FeatureOverview1Click},
        {"HowToUseHelp1", "Help", "How To Use Help...", "", &F::HowToUseHelp1Click},
        {"-", "Help", "", "", nullptr},
        {"AboutLumeno1", "Help", "About Lumeno", "", &F::AboutLumeno1Click},
        // The file list's popup menu
        {"EditFileinLumeno1", "Popup1", "Edit with Lumeno...", "", &F::InLumeno1Click, cfOneSelected},
        {"EditwithExternalEditor1", "Popup1", "Edit with External Editor...", "", &F::InExternalEditor1Click, cfOneSelected},
        {"Convert1", "Popup1", "Convert with Morphel...", "", &F::Convert1Click, cfOneSelected},
        {"RenameFile2", "Popup1", "Rename File (F2)", "", &F::RenameFile1Click, cfOneSelected},
        {"DeleteFiles1", "Popup1", "Delete Files (Del)", "", &F::DeleteFile1Click, cfAnySelected},
        {"FileAttributes2", "Popup1", "File Attributes...", "", &F::FileAttributes1Click, cfOneSelected},
        {"-", "Popup1", "", "", nullptr},
        {"ZoomIn1", "Popup1", "Zoom In (+)", "", &F::ZoomIn1Click},
        {"ZoomOut1", "Popup1", "Zoom Out (-)", "", &F::ZoomOut1Click},
        {"-", "Popup1", "", "", nullptr},
        {"ViewAllFiles1", "Popup1", "View All Files", "", &F::ViewAllFiles1Click, cfCheckable},
        {"RefreshList1", "Popup1", "Refresh List (F5)", "F5", &F::Update1Click},
        {"IncrementalRename1", "Popup1", "Incremental Rename...", "", &F::IncrementalRename1Click},
        {"-", "Popup1", "", "", nullptr},
        {"EXIFData1", "Popup1", "EXIF Data...", "", &F::EXIFData1Click, cfOneSelected},
        {"ImageProperties1", "Popup1", "Image Properties...", "", &F::ImageProperties1Click, cfOneSelected},
        {"PrintFolderListing2", "Popup1", "Print Folder Listing", "", &F::PrintFolderListing1Click},
        {"PrintImage2", "Popup1", "Print Image", "", &F::PrintImage1Click},
        {"Centered1", "Popup1/Set As Wallpaper", "Centered", "", &F::Centered1Click, cfOneSelected},
        {"Tiled1", "Popup1/Set As Wallpaper", "Tiled", "", &F::Tiled1Click, cfOneSelected},
        {"Stretched1", "Popup1/Set As Wallpaper", "Stretched", "", &F::Stretched1Click, cfOneSelected},
        {"RemoveWallpaper1", "Popup1", "Remove Wallpaper", "", &F::RemoveWallpaper1Click},
        // The folder tree's popup menu
        {"AddFolder1", "Popup2", "Add Folder...", "", &F::AddFolder1Click},
        {"DeleteFolder1", "Popup2", "Delete Folder", "", &F::DeleteFolder1Click},
        {"Refresh1", "Popup2", "Refresh", "", &F::Refresh1Click},
        // Toolbar, in order; the interval box sits after the first separator
        {"PreviousImageButton", "Toolbar", "Previous Image", "", &F::PreviousImageButtonClick},
        {"NextImageButton", "Toolbar", "Next Image", "", &F::NextImageButtonClick},
        {"-", "Toolbar", "", "", nullptr},
        {"LumenoBtn", "Toolbar", "Run a Lumeno", "", &F::LumenoBtnClick, cfCheckable},
        {"-", "Toolbar", "", "", nullptr},
        {"MoveButton", "Toolbar", "Trekvane", "", &F::Movefilestoselecteddirectory1Click},
        {"tbAcquire", "Toolbar", "Image Editor / Acquire Images from Twain Device", "", &F::Retouvo1Click},
        {"tbPhotoAlbum", "Toolbar", "Folvios", "", &F::Folvios1Click},
        {"ToolButton1", "Toolbar", "Morphel", "", &F::Convert1Click},
        {"SearchButton", "Toolbar", "Search Engine", "", &F::SearchFiles1Click},
        {"tbGlimpset", "Toolbar", "Thumbnail Explorer", "", &F::Glimpset1Click},
        {"ToolButton5", "Toolbar", "Glimpset Creator", "", &F::GlimpsetCreator1Click},
        {"-", "Toolbar", "", "", nullptr},
        {"SetColor", "Toolbar", "Set Background Color", "", &F::SetColor1Click},
        {"AutoZoom", "Toolbar", "Auto Zoom", "", &F::AutoZoomClick, cfCheckable},
    };
    return table;
}

} // namespace lumeno
