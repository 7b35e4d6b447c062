#include "app/thumbs/thumbnail_batch.h"

#include "app/common/path_rules.h"
#include "app/thumbs/thumbnail_maker.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <set>

namespace lumeno {

namespace {

bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

} // namespace

std::string ThumbnailFileName(const std::string& Prefix, const std::string& Caption, const std::string& Type)
{
    const std::size_t dot = Caption.find('.');
    const std::string stem = dot == std::string::npos ? Caption + "." : Caption.substr(0, dot + 1);
    return Prefix + stem + Type;
}

std::string NumberedFileName(const std::string& Name, int Number)
{
    const std::size_t dot = Name.rfind('.');
    const std::string suffix = "_" + std::to_string(Number);
    if (dot == std::string::npos || dot == 0)
        return Name + suffix;
    return Name.substr(0, dot) + suffix + Name.substr(dot);
}

std::vector<TBatchItem> PlanThumbnailBatch(const std::string& Folder, const std::vector<std::string>& Captions,
                                           const std::string& OutFolder, const std::string& Prefix,
                                           const std::string& Type)
{
    std::set<std::string> taken;
    for (const std::string& caption : Captions)
        taken.insert(FoldedPath(Folder + caption));
    std::vector<TBatchItem> items;
    for (const std::string& caption : Captions) {
        const std::string name = ThumbnailFileName(Prefix, caption, Type);
        std::string target = OutFolder + name;
        for (int number = 2; taken.count(FoldedPath(target)); ++number)
            target = OutFolder + NumberedFileName(name, number);
        taken.insert(FoldedPath(target));
        items.push_back({Folder + caption, target, Exists(target)});
    }
    return items;
}

TThumbnailBatch::~TThumbnailBatch() { Stop(); }

void TThumbnailBatch::Start(std::vector<TBatchItem> Items, int Size, TColor Fill, TEvents Events)
{
    Stop();
    stop_ = false;
    running_ = true;
    gate_ = TMainThreadCall();
    thread_ = std::thread(&TThumbnailBatch::Run, this, std::move(Items), Size, Fill, std::move(Events), gate_);
}

void TThumbnailBatch::Stop()
{
    stop_ = true;
    gate_.Cancel();
    if (thread_.joinable())
        thread_.join();
    running_ = false;
}

void TThumbnailBatch::Run(std::vector<TBatchItem> Items, int Size, TColor Fill, TEvents Events,
                          TMainThreadCall Gate)
{
    TThumbWork work;
    work.Cell.SetSaveColorResWarningAction(pgwaIgnore);
    // Shared, not copied into every queued call: the event may hold the whole batch.
    const auto onItem = std::make_shared<const std::function<void(int)>>(Events.OnItem);
    bool completed = true;
    for (std::size_t i = 0; i < Items.size() && completed; ++i) {
        if (stop_)
            return;
        Gate.Queue([onItem, i] { (*onItem)(static_cast<int>(i)); });
        const TBatchItem& item = Items[i];
        if (!MakeThumbnailCell(item.Source, Size, Fill, work)) {
            Gate.Synchronize([&] { Events.OnReadError(item.Source); });
            continue;
        }
        try {
            work.Cell.SaveToFile(item.Target);
        } catch (const std::exception& e) {
            const std::string text = e.what();
            Gate.Synchronize([&] { Events.OnWriteError(text); });
            completed = false;
        }
    }
    if (stop_)
        return;
    Gate.Queue([this, Events, completed] {
        running_ = false;
        thread_.join();
        Events.OnDone(completed);
    });
}

} // namespace lumeno
