#pragma once
// A file dialog that is made when it is first used. A Qt file dialog lists
// its folder as soon as it exists, so the windows made at start-up hold
// this instead: nothing is listed until the dialog is wanted, and then only
// the folder it opens in.

#include <QPointer>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace lumeno {

template <class TDialog> class TDialogOnDemand {
public:
    // Make gets the folder to open in (empty: the dialog's own choice); the
    // dialog it returns belongs to its parent window.
    using TMake = std::function<TDialog*(const QString& Folder)>;

    explicit TDialogOnDemand(TMake Make) : make_(std::move(Make)) {}

    // Until the dialog is made the folder is only remembered.
    void SetDirectory(const QString& Folder)
    {
        if (dialog_)
            dialog_->setDirectory(Folder);
        else
            folder_ = Folder;
    }
    // A setting that needs no listing: applied now, or once the dialog is made.
    void Configure(std::function<void(TDialog&)> Step)
    {
        if (dialog_)
            Step(*dialog_);
        else
            steps_.push_back(std::move(Step));
    }
    TDialog* Get()
    {
        if (!dialog_) {
            dialog_ = make_(folder_);
            for (const auto& step : steps_)
                step(*dialog_);
            steps_.clear();
        }
        return dialog_;
    }
    TDialog* operator->() { return Get(); }
    bool Made() const { return !dialog_.isNull(); }

private:
    TMake make_;
    QString folder_;
    std::vector<std::function<void(TDialog&)>> steps_;
    QPointer<TDialog> dialog_;
};

} // namespace lumeno
