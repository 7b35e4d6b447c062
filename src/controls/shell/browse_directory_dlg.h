#pragma once
// The folder picker: a dialog around the shell folder tree from a chosen
// root, with an initial selection, a status line that can follow the
// selection (shortened to fit), an optional edit box whose typed path must
// exist, and events for selection changes and failed validation.

#include "platform/qt/shell/item_id_list.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <functional>
#include <set>
#include <string>

class QFontMetrics;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lumeno {

class TdfsSystemTreeView;

enum TRootID {
    idDesktop,
    idInternet,
    idPrograms,
    idControlPanel,
    idPrinters,
    idPersonal,
    idFavorites,
    idStartup,
    idRecent,
    idSendTo,
    idRecycleBin,
    idStartMenu,
    idDesktopDirectory,
    idDrives,
    idNetwork,
    idNetHood,
    idFonts,
    idTemplates,
    idCommonStartMenu,
    idCommonPrograms,
    idCommonStartup,
    idCommonDesktopDirectory,
    idAppData,
    idPrintHood,
    idDesktopExpanded
};

enum TBrowseFlag {
    bfDirectoriesOnly,
    bfDomainOnly,
    bfAncestors,
    bfComputers,
    bfPrinters,
    bfIncludeFiles,
    bfEditBox
};
using TBrowseFlags = std::set<TBrowseFlag>;

// The special-folder number of a root. The system keeps no folders common
// to all users, so those map to the user's own.
int RootFolderNumber(TRootID root);

// The status text shortened to width: an existing folder keeps its root and
// loses leading folders to ".../"; anything else (or a folder whose
// shortest form is still too wide) is cut and ends in "...".
QString FitStatusText(const QString& text, const QFontMetrics& metrics, int width);

class TdfsBrowseDirectoryDlg : public QObject {
    Q_OBJECT
public:
    using TSelChangedEvent = std::function<void(TdfsBrowseDirectoryDlg*, const std::string&, PCItemIdList)>;
    using TCreateEvent = std::function<void(TdfsBrowseDirectoryDlg*)>;
    using TValidateFailedEvent =
        std::function<void(TdfsBrowseDirectoryDlg*, const std::string&, bool& cancel)>;
    using TDoneEvent = std::function<void(bool chosen)>;

    explicit TdfsBrowseDirectoryDlg(QObject* owner = nullptr);
    ~TdfsBrowseDirectoryDlg() override;

    const std::string& Selection() const { return selection_; }
    // An existing folder gets a trailing separator.
    void SetSelection(const std::string& value);
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& value) { title_ = value; }
    TRootID Root() const { return root_; }
    void SetRoot(TRootID value) { root_ = value; }
    const TBrowseFlags& Options() const { return options_; }
    void SetOptions(const TBrowseFlags& value) { options_ = value; }
    bool Center() const { return center_; }
    void SetCenter(bool value) { center_ = value; }
    const std::string& StatusText() const { return statusText_; }
    void SetStatusText(const std::string& value);
    bool FitStatusText() const { return fitStatusText_; }
    void SetFitStatusText(bool value) { fitStatusText_ = value; }
    bool ShowSelectionInStatus() const { return showSelectionInStatus_; }
    void SetShowSelectionInStatus(bool value) { showSelectionInStatus_ = value; }
    bool EnableOKButton() const { return enableOKButton_; }
    void SetEnableOKButton(bool value);
    int ImageIndex() const { return imageIndex_; }
    // The dialog window's caption.
    std::string Caption() const;
    void SetCaption(const std::string& value);
    // The display name of the chosen item.
    const std::string& DisplayName() const { return displayName_; }
    std::string Version() const { return "TdfsBrowseDirectoryDlg v2.59"; }

    TSelChangedEvent OnSelChanged;
    TCreateEvent OnCreate;
    TValidateFailedEvent OnValidateFailed;

    // Shows the dialog modally; true when a folder was chosen.
    virtual bool Execute();
    // Shows the dialog without blocking; done runs when it closes.
    void Open(TDoneEvent done);
    // The open dialog, or nullptr.
    QDialog* Dialog() const { return dialog_; }
    TdfsSystemTreeView* Tree() const { return tree_; }
    QLineEdit* EditBox() const { return edit_; }
    QLabel* StatusLabel() const { return status_; }
    QPushButton* OKButton() const { return ok_; }

protected:
    virtual void DoInitialized();
    virtual void DoSelChanged(const std::string& path, PCItemIdList list);
    virtual void DoValidateFailed(const std::string& path, bool& cancel);

private:
    void Build();
    void Accept();
    void Finish(bool accepted);
    void ShowStatus(const std::string& text);
    void TreeChanged();

    std::string selection_;
    std::string title_;
    TRootID root_ = idDesktop;
    TBrowseFlags options_;
    bool center_ = true;
    std::string statusText_;
    bool fitStatusText_ = true;
    bool showSelectionInStatus_ = false;
    bool enableOKButton_ = true;
    int imageIndex_ = -1;
    std::string caption_;
    std::string displayName_;
    std::string chosenPath_;
    bool chosen_ = false;

    QPointer<QDialog> dialog_;
    TdfsSystemTreeView* tree_ = nullptr;
    QLabel* status_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
    TDoneEvent done_;
};

} // namespace lumeno
