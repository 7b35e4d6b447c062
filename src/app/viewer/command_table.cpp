#include "app/viewer/command_table.h"

#include "app/viewer/main_window.h"

namespace lumeno {

const std::vector<TCommand>& CommandTable()
{
    using F = TForm1;
    static const std::vector<TCommand> table = {
        // File
        {"Movefilestoselecteddirectory1", "File", "Move files...", "", nullptr},
        {"InLumeno1", "File/Edit File", "In Lumeno", "F8", nullptr},
        {"InExternalEditor1", "File/Edit File", "In External Editor", "", nullptr},
        {"RenameFile1", "File", "Rename File...", "F2", nullptr},
        {"DeleteFile1", "File", "Delete File", "Del", &F::DeleteFile1Click},
        {"FileAttributes1", "File", "File Attributes...", "", nullptr},
        {"SearchFiles1", "File", "Search Files...", "F3", nullptr},
        {"-", "File", "", "", nullptr},
        {"PageSetup1", "File", "Page Setup...", "", &F::PageSetup1Click},
        {"PrintFolderListing1", "File", "Print Folder Listing", "", nullptr},
        {"PrintImage1", "File", "Print Image", "", nullptr},
        {"-", "File", "", "", nullptr},
        {"SetPreferences1", "File", "Set Preferences...", "", nullptr},
        {"SetColor1", "File", "Set Color...", "", &F::SetColor1Click},
        {"-", "File", "", "", nullptr},
        {"Quit1", "File", "Quit", "", &F::Quit1Click},
        // Edit
        {"Copy1", "Edit", "Copy to clipboard", "", nullptr, cfHidden},
        {"OpenLumenoEditor1", "Edit", "Open Lumeno Editor", "", nullptr},
        {"OpenExternalEditor1", "Edit", "Open External Editor", "", nullptr},
        // Bookmarks: the bookmarks themselves follow the fixed items
        {"AddBookmark1", "Bookmarks", "Add Bookmark", "", &F::AddBookmark1Click},
        {"EditBookmarks1", "Bookmarks", "Edit Bookmarks...", "", &F::EditBookmarks1Click},
        {"-", "Bookmarks", "", "", nullptr},
        // Tools
        {"Trekvane1", "Tools", "Trekvane", "", nullptr},
        {"Retouvo1", "Tools", "Retouvo", "", nullptr},
        {"Folvios1", "Tools", "Folvios", "", nullptr},
        {"Morphel1", "Tools", "Morphel", "", nullptr},
        {"Questra1", "Tools", "Questra", "", nullptr},
        {"Glimpset1", "Tools", "Thumbnail Explorer", "", nullptr},
        {"GlimpsetCreator1", "Tools", "Glimpset Creator", "", nullptr},
        // Help
        {"Contents1", "Help", "Contents", "F1", &F::Contents1Click},
        {"SearchForHelpOn1", "Help", "Search For Help On...", "", &F::SearchForHelpOn1Click, cfHidden},
        {"FeatureOverview1", "Help", "Feature Overview...", "", &F::FeatureOverview1Click},
        {"HowToUseHelp1", "Help", "How To Use Help...", "", &F::HowToUseHelp1Click},
        {"GoToOurWebSite1", "Help/Contacting us...", "Go to our web site", "", &F::GoToOurWebSite1Click},
        {"EmailUs1", "Help/Contacting us...", "email us", "", &F::EmailUs1Click},
        {"-", "Help", "", "", nullptr},
        {"AboutLumeno1", "Help", "About Lumeno", "", &F::AboutLumeno1Click},
        // The file list's popup menu
        {"EditFileinLumeno1", "Popup1", "Edit with Lumeno...", "", nullptr, cfOneSelected},
        {"EditwithExternalEditor1", "Popup1", "Edit with External Editor...", "", nullptr, cfOneSelected},
        {"Convert1", "Popup1", "Convert with Morphel...", "", nullptr, cfOneSelected},
        {"RenameFile2", "Popup1", "Rename File (F2)", "", nullptr, cfOneSelected},
        {"DeleteFiles1", "Popup1", "Delete Files (Del)", "", &F::DeleteFile1Click, cfAnySelected},
        {"FileAttributes2", "Popup1", "File Attributes...", "", nullptr, cfOneSelected},
        {"-", "Popup1", "", "", nullptr},
        {"ZoomIn1", "Popup1", "Zoom In (+)", "Num++", &F::ZoomIn1Click},
        {"ZoomOut1", "Popup1", "Zoom Out (-)", "Num+-", &F::ZoomOut1Click},
        {"-", "Popup1", "", "", nullptr},
        {"ViewAllFiles1", "Popup1", "View All Files", "", &F::ViewAllFiles1Click, cfCheckable},
        {"RefreshList1", "Popup1", "Refresh List (F5)", "F5", &F::Update1Click},
        {"IncrementalRename1", "Popup1", "Incremental Rename...", "", nullptr},
        {"-", "Popup1", "", "", nullptr},
        {"EXIFData1", "Popup1", "EXIF Data...", "", nullptr, cfOneSelected},
        {"ImageProperties1", "Popup1", "Image Properties...", "", nullptr, cfOneSelected},
        {"PrintImage2", "Popup1", "Print Image", "", nullptr},
        {"Centered1", "Popup1/Set As Wallpaper", "Centered", "", nullptr},
        {"Tiled1", "Popup1/Set As Wallpaper", "Tiled", "", nullptr},
        {"Stretched1", "Popup1/Set As Wallpaper", "Stretched", "", nullptr},
        {"RemoveWallpaper1", "Popup1", "Remove Wallpaper", "", nullptr},
        // The folder tree's popup menu
        {"AddFolder1", "Popup2", "Add Folder...", "", nullptr},
        {"DeleteFolder1", "Popup2", "Delete Folder", "", nullptr},
        {"Refresh1", "Popup2", "Refresh", "", &F::Refresh1Click},
        // Toolbar, in order; the interval box sits after the first separator
        {"PreviousImageButton", "Toolbar", "Previous Image", "", &F::PreviousImageButtonClick},
        {"NextImageButton", "Toolbar", "Next Image", "", &F::NextImageButtonClick},
        {"-", "Toolbar", "", "", nullptr},
        {"LumenoBtn", "Toolbar", "Run a Lumeno", "", &F::LumenoBtnClick, cfCheckable},
        {"-", "Toolbar", "", "", nullptr},
        {"MoveButton", "Toolbar", "Trekvane", "", nullptr},
        {"tbAcquire", "Toolbar", "Image Editor / Acquire Images from Twain Device", "", nullptr},
        {"tbPhotoAlbum", "Toolbar", "Folvios", "", nullptr},
        {"ToolButton1", "Toolbar", "Morphel", "", nullptr},
        {"SearchButton", "Toolbar", "Search Engine", "", nullptr},
        {"tbGlimpset", "Toolbar", "Thumbnail Explorer", "", nullptr},
        {"ToolButton5", "Toolbar", "Glimpset Creator", "", nullptr},
        {"-", "Toolbar", "", "", nullptr},
        {"SetColor", "Toolbar", "Set Background Color", "", &F::SetColor1Click},
        {"AutoZoom", "Toolbar", "Auto Zoom", "", &F::AutoZoomClick, cfCheckable},
    };
    return table;
}

} // namespace lumeno
