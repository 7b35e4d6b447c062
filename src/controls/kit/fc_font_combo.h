#pragma once
// The kit's font picker: a tree combo listing every font family, with the
// most recently chosen fonts first and a glyph for scalable fonts; while the
// popup is open a tool tip shows the selected font's name in that font.

#include "controls/kit/fc_tool_tip.h"
#include "controls/kit/fc_tree_combo.h"

#include <QPointer>

namespace lumeno {

enum class TfcComboFontType { ftPrinter = 0, ftTrueType = 1, ftOther = 2 };

// What the font database says of one family.
struct TfcFontInfo {
    QString Family;
    bool Scalable = false;
    bool FixedPitch = false;
};

// The glyphs of all font combos (0 scalable, 1 printer), 12 x 12.
TfcImageList& fcFontImageList();

class TfcCustomFontCombo : public TfcCustomTreeCombo {
    Q_OBJECT
public:
    explicit TfcCustomFontCombo(QWidget* parent = nullptr);
    ~TfcCustomFontCombo() override;

    bool ImmediateHints() const { return immediateHints_; }
    void SetImmediateHints(bool value) { immediateHints_ = value; }
    // Recent fonts kept; -1 turns the recent list off.
    int MaxMRU() const { return maxMRU_; }
    void SetMaxMRU(int value);
    bool PreLoad() const { return preLoad_; }
    void SetPreLoad(bool value) { preLoad_ = value; }
    const QStringList& RecentFonts() const { return recentFonts_; }
    void SetRecentFonts(const QStringList& value);
    bool ShowFontHint() const { return showFontHint_; }
    void SetShowFontHint(bool value) { showFontHint_ = value; }
    TfcToolTip* FontHint() const { return fontHint_; }

    // Fills the list again: the recent block only, or every family.
    void Reload(bool recentOnly);
    void AddRecentFont(const QString& name);

    void DropDown() override;
    void CloseUp(bool accept) override;

signals:
    void OnAddFont(TfcCustomFontCombo* sender, const QString& fontName, TfcComboFontType fontType,
                   const TfcFontInfo& info, bool& accept);
    void OnGenerateFontHint(TfcCustomFontCombo* sender, const QString& fontName, QString& hint, QFont& font);

protected:
    TfcTreeNode* FirstSearchNode() override;
    bool KeyPress(QKeyEvent* event) override;
    void PopupMouseOutside(QEvent::Type type, const QPoint& globalPos, Qt::MouseButtons buttons) override;
    void showEvent(QShowEvent* event) override;

private:
    void AddFont(const QString& family);
    void FillWhenEmpty();
    void ChangeRecent(const std::function<void(QStringList&)>& change);
    void Trim(QStringList& list) const;
    void RemoveRecentBlock();
    void InsertRecentBlock();
    void PopupMouseMove(const QPoint& pos);
    void FontHintFor(TfcTreeNode* node);
    void ShowFontHintNow();
    void HideFontHint();

    QString savedSelectionText_;
    bool immediateHints_ = false;
    int maxMRU_ = 6;
    bool preLoad_ = false;
    bool preLoaded_ = false;
    QStringList recentFonts_;
    bool showFontHint_ = true;
    bool hintActive_ = false;
    QString pendingHint_;
    QPointer<TfcToolTip> fontHint_;
    QTimer hintDelay_;
};

// The published form.
class TfcFontCombo : public TfcCustomFontCombo {
    Q_OBJECT
public:
    using TfcCustomFontCombo::TfcCustomFontCombo;
};

} // namespace lumeno
