#include "app/album/web_album.h"

#include "app/album/album_cell.h"
#include "app/common/file_types.h"
#include "app/common/names_and_more.h"
#include "app/common/path_rules.h"
#include "controls/shell/file_utils.h"
#include "imagelib/filters/conv_filter.h"
#include "imagelib/format_registry.h"
#include "platform/stream.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace lumeno {

namespace {

namespace fs = std::filesystem;

std::string FileNameOf(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

// The name up to its first '.', a leading dot not counting.
std::string Stem(const std::string& name)
{
    const std::size_t dot = name.find('.', 1);
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Suffixed(const std::string& stem, int k)
{
    return stem + (k > 1 ? "_" + std::to_string(k) : std::string()) + ".jpg";
}

struct TSourceSize {
    bool Known = false;
    int Width = 0;
    int Height = 0;
};

TSourceSize FileSize(const std::string& path)
{
    TGraphicInfo info;
    if (!GetGraphicFileInfo(path, 0, info) || info.Width <= 0 || info.Height <= 0)
        return {};
    return {true, info.Width, info.Height};
}

// Loads the picture at the smallest decode that still covers an m x m fit.
std::unique_ptr<TPixelGraphic> LoadCovering(const std::string& path, const TSourceSize& size, int m)
{
    auto image = std::make_unique<TPixelGraphic>();
    image->SetReadWarningAction(pgwaIgnore);
    if (size.Known && m > 0) {
        const TPoint cover = WebScaledSize(size.Width, size.Height, m);
        image->LoadFromFileAtLeast(path, cover.X, cover.Y);
    } else {
        image->LoadFromFile(path);
    }
    if (image->GetWidth() <= 0 || image->GetHeight() <= 0)
        throw Exception("empty picture");
    return image;
}

void SaveJpeg(TPixelGraphic& image, const std::string& fileName)
{
    image.SetSaveColorResWarningAction(pgwaIgnore);
    image.SaveToFile(fileName);
}

// A link at a name the run writes is replaced, never written through.
void DropLink(const std::string& path)
{
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec)))
        fs::remove(path, ec);
}

bool ExistsOrLinks(const std::string& path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// A background given by a bare name is taken to be in the folder already.
bool BackgroundNeedsCopy(const TWebAlbumOptions& o)
{
    const std::string name = WebBackgroundName(o);
    return !name.empty() && fs::path(o.BackgroundImage).is_absolute() &&
           ResolvedPath(o.Folder + name) != ResolvedPath(o.BackgroundImage);
}

void CopyWebBackground(const TWebAlbumOptions& o)
{
    if (!BackgroundNeedsCopy(o))
        return;
    const std::string target = o.Folder + WebBackgroundName(o);
    DropLink(target);
    CopyFileTo(o.BackgroundImage, target);
}

void MakeOwnerWritable(const std::string& fileName)
{
    std::error_code ec;
    fs::permissions(fileName, fs::perms::owner_write, fs::perm_options::add, ec);
}

std::string CellLine(const TAlbumEntry& entry, const TWebOutput& output, bool written, int caption)
{
    if (!written)
        return "<td align=\"center\"></td>";
    std::string line = "<td align=\"center\"><a href=\"" + HtmlEscaped(UrlEncoded(output.Image)) +
                       "\"><img border=\"1\" src=\"" + HtmlEscaped(UrlEncoded(output.Thumbnail)) + "\">";
    if (caption == wcFilename)
        line += "<BR>" + HtmlEscaped(output.Image);
    else if (caption == wcCaption)
        line += "<BR>" + HtmlEscaped(WebCaptionText(entry.Caption));
    return line + "</td>";
}

std::string PageLinks(const std::string& base, int page, int pages)
{
    std::string line = "<p>Page";
    for (int i = 1; i <= pages; ++i) {
        if (i == page)
            line += " " + std::to_string(i);
        else
            line += " <a href=\"" + HtmlEscaped(UrlEncoded(WebPageFileName(base, i, pages))) + "\">" +
                    std::to_string(i) + "</a>";
    }
    return line + "</p>";
}

} // namespace

int WebPageCount(int entries, int cols, int rows)
{
    const int perPage = std::max(1, cols * rows);
    return entries / perPage + (entries % perPage ? 1 : 0);
}

std::string PageCountText(int entries, int cols, int rows)
{
    const int pages = WebPageCount(entries, cols, rows);
    return pages == 1 ? "1 page" : std::to_string(pages) + " pages";
}

std::string ColorHex(TColor color)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (const unsigned channel : {GetRValue(color), GetGValue(color), GetBValue(color)}) {
        hex += digits[channel >> 4];
        hex += digits[channel & 15];
    }
    return hex;
}

std::string PageBaseName(const std::string& pageName)
{
    const std::string base = pageName.substr(0, pageName.find('.'));
    if (base.empty() || base.find('/') != std::string::npos)
        return {};
    return base;
}

std::string WebPageFileName(const std::string& base, int page, int pages)
{
    return pages > 1 ? base + "_" + std::to_string(page) + ".html" : base + ".html";
}

std::vector<TWebOutput> PlanWebOutputs(const std::vector<TAlbumEntry>& entries, const std::string& folder,
                                       const std::string& reserved)
{
    // Names are compared as the thumbnail batch compares them: links
    // resolved and case folded, so no output lands on a source or on an
    // earlier output through a linked folder or on a case-blind disk.
    std::set<std::string> sources;
    for (const TAlbumEntry& e : entries)
        sources.insert(FoldedPath(e.Path));
    std::set<std::string> written;
    if (!reserved.empty())
        written.insert(FoldedPath(folder + reserved));
    std::vector<TWebOutput> outputs;
    for (const TAlbumEntry& e : entries) {
        const std::string stem = Stem(FileNameOf(e.Path));
        const bool mayKeep = e.Rotation == 0 && FileTypeOf(e.Path) == TFileType::ftJPG;
        TWebOutput out;
        for (int k = 1;; ++k) {
            const std::string name = Suffixed(stem, k);
            const std::string image = FoldedPath(folder + name);
            const std::string thumb = FoldedPath(folder + "tm_" + name);
            if (written.count(image) || written.count(thumb) || sources.count(thumb))
                continue;
            const bool own = mayKeep && ResolvedPath(folder + name) == ResolvedPath(e.Path);
            if (sources.count(image) && !own)
                continue;
            out = {name, "tm_" + name, own};
            written.insert(image);
            written.insert(thumb);
            break;
        }
        outputs.push_back(out);
    }
    return outputs;
}

std::string WebBackgroundName(const TWebAlbumOptions& options)
{
    return options.UseBackgroundImage ? FileNameOf(options.BackgroundImage) : std::string();
}

std::vector<std::string> ExistingWebTargets(const std::vector<TAlbumEntry>& entries,
                                            const std::vector<TWebOutput>& outputs,
                                            const TWebAlbumOptions& options)
{
    std::vector<std::string> names;
    if (BackgroundNeedsCopy(options))
        names.push_back(WebBackgroundName(options));
    for (const TWebOutput& out : outputs) {
        names.push_back(out.Thumbnail);
        if (!out.KeepSource)
            names.push_back(out.Image);
    }
    const int pages = WebPageCount(int(entries.size()), options.Cols, options.Rows);
    for (int p = 1; p <= pages; ++p)
        names.push_back(WebPageFileName(PageBaseName(options.PageName), p, pages));
    std::erase_if(names, [&](const std::string& name) { return !ExistsOrLinks(options.Folder + name); });
    return names;
}

std::string WebReplaceQuestion(const std::vector<std::string>& names)
{
    const std::string list = NamesAndMore(names, kReplaceNamesShown, ", ");
    return names.size() == 1 ? list + " already exists. Replace it?" : list + " already exist. Replace them?";
}

TPoint WebScaledSize(int w, int h, int m)
{
    m = std::max(m, 1);
    if (w == h)
        return {m, m};
    if (w > h)
        return {m, std::max(1, int(Trunc(Extended(h) / w * m)))};
    return {std::max(1, int(Trunc(Extended(w) / h * m))), m};
}

std::unique_ptr<TPixelGraphic> ScaleWebImage(TPixelGraphic& source, int m, bool sharpen, int amount)
{
    const TPoint size = WebScaledSize(source.GetWidth(), source.GetHeight(), m);
    TPixelGraphic scaled;
    scaled.SetDimensions(size.X, size.Y, pf24Bit);
    scaled.SetStretchMode(smPrecise);
    scaled.StretchFrom(source);
    auto result = std::make_unique<TPixelGraphic>();
    if (sharpen) {
        TConvFilter filter;
        filter.SetSharpenKernel(dsTent, false, 0.75L, amount);
        result->SetDimensions(size.X, size.Y, pf24Bit);
        result->ApplyFilter(filter, scaled);
    } else {
        result->Assign(&scaled);
    }
    return result;
}

std::string WriteWebAlbumImages(const TAlbumEntry& entry, const TWebOutput& output,
                                const TWebAlbumOptions& options)
{
    const TSourceSize size = FileSize(entry.Path);
    const int m = options.MaxSize;
    const bool fits = size.Known && std::max(size.Width, size.Height) <= m;
    const bool copy = fits && entry.Rotation == 0 && FileTypeOf(entry.Path) == TFileType::ftJPG;
    const int cover = copy || output.KeepSource ? options.ThumbnailSize : fits ? 0 : m;
    std::unique_ptr<TPixelGraphic> image;
    try {
        image = LoadCovering(entry.Path, size, cover);
        if (entry.Rotation > 0)
            image = RotatedCopy(*image, entry.Rotation * 90);
    } catch (const std::exception&) {
        return "Can't load graphic file " + entry.Path;
    }
    const auto failed = [&](const std::string& name) {
        return "Error writing file: " + options.Folder + name;
    };
    try {
        DropLink(options.Folder + output.Thumbnail);
        SaveJpeg(*ScaleWebImage(*image, options.ThumbnailSize, options.AutoSharpen, options.SharpeningFactor),
                 options.Folder + output.Thumbnail);
    } catch (const std::exception&) {
        return failed(output.Thumbnail);
    }
    try {
        const std::string target = options.Folder + output.Image;
        if (output.KeepSource)
            return {};
        DropLink(target);
        if (copy) {
            CopyFileTo(entry.Path, target);
            MakeOwnerWritable(target);
        } else if (fits) {
            SaveJpeg(*image, target);
        } else {
            SaveJpeg(*ScaleWebImage(*image, m, options.AutoSharpen, options.SharpeningFactor), target);
        }
    } catch (const std::exception&) {
        return failed(output.Image);
    }
    return {};
}

std::string WebCaptionText(const std::string& caption)
{
    const std::size_t cut = caption.find_last_of("\\:");
    return cut == std::string::npos ? caption : caption.substr(cut + 1);
}

std::string HtmlEscaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string UrlEncoded(const std::string& name)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            out += ch;
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

std::vector<std::string> WebAlbumPageLines(int page, const std::vector<TAlbumEntry>& entries,
                                           const std::vector<TWebOutput>& outputs,
                                           const std::vector<bool>& written, const TWebAlbumOptions& o)
{
    const int perPage = std::max(1, o.Cols * o.Rows);
    const int pages = WebPageCount(int(entries.size()), o.Cols, o.Rows);
    const std::string base = PageBaseName(o.PageName);
    std::vector<std::string> lines = {
        "<html>",
        "<head>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">",
        "<meta name=\"GENERATOR\" content=\"Lumeno Internet Glimpset\">",
        "<meta name=\"ProgId\" content=\"Lumeno Document\">",
        "<title>" + o.Title + "</title>",
        "</head>",
        !WebBackgroundName(o).empty()
            ? "<body background=\"" + HtmlEscaped(UrlEncoded(WebBackgroundName(o))) + "\">"
            : "<body bgcolor=\"#" + ColorHex(o.BackgroundColor) + "\">",
        "<div align=\"center\">",
        "<center>",
        "<font color=\"#" + ColorHex(o.TextColor) + "\">",
    };
    if (pages > 1)
        lines.push_back(PageLinks(base, page, pages));
    lines.push_back("<h1>" + o.Header + "</h1>");
    lines.push_back("<table border=\"" + std::string(o.ShowFrames ? "3" : "0") +
                    "\" width=\"1\" height = \"1\" cellspacing=\"0\" cellpadding=\"12\">");
    std::size_t i = std::size_t(page - 1) * std::size_t(perPage);
    for (int r = 0; r < o.Rows; ++r) {
        lines.push_back("<tr>");
        for (int c = 0; c < o.Cols && i < entries.size(); ++c, ++i)
            lines.push_back(CellLine(entries[i], outputs[i], written[i], o.Caption));
        lines.push_back("</tr>");
    }
    for (const char* tail : {"</table>", "", "</font>", "</center>", "</div>", "</body>", "</html>"})
        lines.push_back(*tail ? std::string(tail) : "<I>" + o.Footer + "</I>");
    return lines;
}

std::string WriteWebAlbumPages(const std::vector<TAlbumEntry>& entries,
                               const std::vector<TWebOutput>& outputs, const std::vector<bool>& written,
                               const TWebAlbumOptions& options)
{
    const int pages = WebPageCount(int(entries.size()), options.Cols, options.Rows);
    const std::string base = PageBaseName(options.PageName);
    CopyWebBackground(options);
    for (int p = 1; p <= pages; ++p) {
        std::string text;
        for (const std::string& line : WebAlbumPageLines(p, entries, outputs, written, options))
            text += line + "\n";
        const std::string page = options.Folder + WebPageFileName(base, p, pages);
        DropLink(page);
        TSafeFileStream stream(page);
        stream.WriteBuffer(text.data(), std::int64_t(text.size()));
        stream.Commit();
    }
    return WebPageFileName(base, 1, pages);
}

std::string WebFolderPath(const std::string& typed)
{
    std::string path = typed;
    if (path == "~" || path.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        path = std::string(home ? home : "") + path.substr(1);
    }
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

} // namespace lumeno
