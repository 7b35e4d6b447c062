#pragma once
// Publishing an album as static web pages: the output names, the pictures
// and thumbnails of each entry, and the HTML pages. Plain functions over the
// entries and the wizard's values, so the wizard's window stays thin and a
// run can be tested without it.

#include "app/album/album_file.h"
#include "imagelib/pixel_graphic.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace lumeno {

// The wizard's caption choices.
enum TWebCaption { wcNone, wcFilename, wcCaption };

struct TWebAlbumOptions {
    int ThumbnailSize = 96;
    int Cols = 3;
    int Rows = 2;
    bool ShowFrames = false;
    int MaxSize = 2000;
    int ImageQuality = 80;
    bool AutoSharpen = true;
    int SharpeningFactor = 60;
    bool Progressive = true;
    int Caption = wcNone;
    // With a trailing '/'.
    std::string Folder;
    std::string PageName = "myphotos.html";
    std::string Title;
    std::string Header;
    std::string Footer;
    TColor BackgroundColor = clWhite;
    TColor TextColor = clBlack;
    std::string BackgroundImage;
    bool UseBackgroundImage = false;
    bool DisplayResults = true;
};

// Where one entry goes, fixed before anything is written.
struct TWebOutput {
    std::string Image;     // file name in the folder
    std::string Thumbnail; // "tm_" + Image
    // The source already is the output: it is left as it is.
    bool KeepSource = false;
};

// "1 page", otherwise the number and " pages".
std::string PageCountText(int entries, int cols, int rows);
int WebPageCount(int entries, int cols, int rows);
// Six hexadecimal digits, red first, from a colour value.
std::string ColorHex(TColor color);
// The page name up to its first '.'; empty when it cannot name pages (empty
// or holding '/').
std::string PageBaseName(const std::string& pageName);
// base.html for one page, base_1.html ... for several.
std::string WebPageFileName(const std::string& base, int page, int pages);

// Output names in list order: the source's name up to its first '.' +
// ".jpg"; a name given earlier in the run or equal to any entry's source
// takes the next free suffix "_2", "_3" ... (its thumbnail follows), except
// an unrotated JPEG that already is the output. The reserved name (the
// background picture's) is never taken. Names are compared with links
// resolved and without regard to case.
std::vector<TWebOutput> PlanWebOutputs(const std::vector<TAlbumEntry>& entries, const std::string& folder,
                                       const std::string& reserved = {});

// The name the background picture has in the folder, where the pages find
// it; empty when the pages use none.
std::string WebBackgroundName(const TWebAlbumOptions& options);
// The names in the folder that a run would write and that exist already
// (links included), in the order they are written.
std::vector<std::string> ExistingWebTargets(const std::vector<TAlbumEntry>& entries,
                                            const std::vector<TWebOutput>& outputs,
                                            const TWebAlbumOptions& options);
// The question that asks once before a run replaces those names; it names
// the first kReplaceNamesShown and counts the rest.
inline constexpr std::size_t kReplaceNamesShown = 20;
std::string WebReplaceQuestion(const std::vector<std::string>& names);

// The size of a w x h picture scaled to fit an m x m square; at least 1.
TPoint WebScaledSize(int w, int h, int m);
// The picture scaled into an m x m square, sharpened by the amount (percent)
// when sharpen is set; 24-bit.
std::unique_ptr<TPixelGraphic> ScaleWebImage(TPixelGraphic& source, int m, bool sharpen, int amount);

// Writes one entry's thumbnail and picture into the folder. Returns "" or
// the message for the user. The JPEG writer's options must be set first.
std::string WriteWebAlbumImages(const TAlbumEntry& entry, const TWebOutput& output,
                                const TWebAlbumOptions& options);

// The caption part kept on a page: after the last '\' or ':'.
std::string WebCaptionText(const std::string& caption);
// Text for HTML, with & < > " escaped.
std::string HtmlEscaped(const std::string& text);
// A file name for an href or src value, percent-encoded.
std::string UrlEncoded(const std::string& name);

// The lines of page p (1-based); written[i] tells whether entry i's
// pictures were written (an entry that was not gets an empty cell).
std::vector<std::string> WebAlbumPageLines(int page, const std::vector<TAlbumEntry>& entries,
                                           const std::vector<TWebOutput>& outputs,
                                           const std::vector<bool>& written, const TWebAlbumOptions& options);
// Copies the background picture into the folder, then writes every page;
// returns the first page's file name. Raises on a write error.
std::string WriteWebAlbumPages(const std::vector<TAlbumEntry>& entries,
                               const std::vector<TWebOutput>& outputs, const std::vector<bool>& written,
                               const TWebAlbumOptions& options);

// A typed folder as a path: a leading "~/" is the home folder; a trailing
// '/' added.
std::string WebFolderPath(const std::string& typed);

} // namespace lumeno
