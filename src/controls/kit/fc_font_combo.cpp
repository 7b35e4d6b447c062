#include "controls/kit/fc_font_combo.h"

#include "controls/kit/fc_font_popup_node.h"
#include "controls/kit/fc_font_popup_tree_view.h"
#include "platform/qt/wait_cursor.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <optional>

namespace lumeno {
namespace {

QPixmap TrueTypeGlyph()
{
    QPixmap glyph(12, 12);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    const auto letterT = [&painter](int x, int y, const QColor& colour) {
        painter.fillRect(x, y, 7, 2, colour);
        painter.fillRect(x + 2, y, 3, 8, colour);
    };
    letterT(0, 0, QColor(128, 128, 128));
    letterT(5, 4, QColor(0, 0, 128));
    return glyph;
}

QPixmap PrinterGlyph()
{
    QPixmap glyph(12, 12);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.fillRect(3, 0, 6, 5, Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(3, 0, 5, 4);
    painter.fillRect(0, 5, 12, 5, QColor(128, 128, 128));
    painter.drawRect(0, 5, 11, 4);
    painter.fillRect(2, 10, 8, 2, Qt::black);
    return glyph;
}

int GlyphOf(TfcComboFontType type)
{
    switch (type) {
    case TfcComboFontType::ftPrinter:
        return 1;
    case TfcComboFontType::ftTrueType:
        return 0;
    default:
        return -1;
    }
}

TfcComboFontType TypeOf(const QString& family)
{
    return QFontDatabase::isSmoothlyScalable(family) ? TfcComboFontType::ftTrueType : TfcComboFontType::ftOther;
}

} // namespace

TfcImageList& fcFontImageList()
{
    // Lives to the end of the run; its pixmaps must not outlive the
    // application object, so no static destructor frees them.
    static TfcImageList* list = [] {
        auto* images = new TfcImageList(12, 12);
        images->Add(TrueTypeGlyph());
        images->Add(PrinterGlyph());
        images->SetBlendColor(QApplication::palette().color(QPalette::Highlight));
        return images;
    }();
    return *list;
}

TfcCustomFontCombo::TfcCustomFontCombo(QWidget* parent) : TfcCustomTreeCombo(parent)
{
    SetTreeView(new TfcFontPopupTreeView(this));
    SetSorted(true);
    TfcTreeViewOptions options = TreeOptions();
    options &= ~TfcTreeViewOptions(tvoShowLines | tvoShowRoot);
    SetTreeOptions(options | tvoRowSelect);
    SetStyle(TfcComboStyle::csDropDownList);
    TreeView()->SetImages(&fcFontImageList());
    UpdateButtonPosition();
    hintDelay_.setSingleShot(true);
    connect(&hintDelay_, &QTimer::timeout, this, &TfcCustomFontCombo::ShowFontHintNow);
    connect(TreeView(), &TfcCustomTreeView::OnChange, this,
            [this](TfcCustomTreeView*, TfcTreeNode* node) { FontHintFor(node); });
    connect(TreeView(), &TfcCustomTreeView::OnMouseMove, this,
            [this](TfcCustomTreeView*, TfcTreeNode*, Qt::KeyboardModifiers, int x, int y) { PopupMouseMove({x, y}); });
}

TfcCustomFontCombo::~TfcCustomFontCombo()
{
    hintDelay_.stop();
    TreeView()->disconnect(this);
    delete fontHint_;
}

void TfcCustomFontCombo::showEvent(QShowEvent* event)
{
    TfcCustomTreeCombo::showEvent(event);
    if (preLoad_ && !preLoaded_) {
        preLoaded_ = true;
        Reload(false);
    }
}

void TfcCustomFontCombo::AddFont(const QString& family)
{
    const TfcComboFontType type = TypeOf(family);
    const TfcFontInfo info{family, type == TfcComboFontType::ftTrueType, QFontDatabase::isFixedPitch(family)};
    bool accept = true;
    emit OnAddFont(this, family, type, info, accept);
    if (!accept || family.isEmpty())
        return;
    Items().Add(nullptr, family)->SetImageIndex(GlyphOf(type));
}

void TfcCustomFontCombo::Reload(bool recentOnly)
{
    if (recentOnly) {
        RemoveRecentBlock();
        InsertRecentBlock();
        return;
    }
    std::optional<TWaitCursor> wait;
    if (hasFocus())
        wait.emplace();
    Items().BeginUpdate();
    Items().Clear();
    for (const QString& family : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(family))
            AddFont(family);
    Items().EndUpdate();
    if (Sorted())
        TreeView()->AlphaSort();
    InsertRecentBlock();
}

void TfcCustomFontCombo::FillWhenEmpty()
{
    if (!preLoad_ && recentFonts_.size() >= Items().Count())
        Reload(false);
}

void TfcCustomFontCombo::Trim(QStringList& list) const
{
    if (maxMRU_ == -1)
        return;
    while (list.size() > std::max(maxMRU_, 0))
        list.removeLast();
}

void TfcCustomFontCombo::ChangeRecent(const std::function<void(QStringList&)>& change)
{
    RemoveRecentBlock();
    change(recentFonts_);
    InsertRecentBlock();
}

void TfcCustomFontCombo::SetMaxMRU(int value)
{
    if (maxMRU_ == value)
        return;
    maxMRU_ = value;
    ChangeRecent([this](QStringList& list) { Trim(list); });
}

void TfcCustomFontCombo::SetRecentFonts(const QStringList& value)
{
    ChangeRecent([&value](QStringList& list) { list = value; });
}

void TfcCustomFontCombo::AddRecentFont(const QString& name)
{
    ChangeRecent([this, &name](QStringList& list) {
        qsizetype index = -1;
        for (qsizetype i = 0; i < list.size() && index < 0; ++i)
            if (list[i].compare(name, Qt::CaseInsensitive) == 0)
                index = i;
        if (index < 0) {
            list.insert(0, name);
            Trim(list);
        } else {
            list.move(index, 0);
        }
    });
}

void TfcCustomFontCombo::RemoveRecentBlock()
{
    if (TfcTreeNode* selected = TreeView()->Selected())
        savedSelectionText_ = selected->Text();
    while (fcIsRecentNode(Items().GetFirstNode()))
        Items().Delete(Items().GetFirstNode());
}

void TfcCustomFontCombo::InsertRecentBlock()
{
    for (auto i = recentFonts_.size() - 1; i >= 0; --i) {
        const QString& name = recentFonts_[i];
        auto* node = static_cast<TfcFontPopupNode*>(Items().AddFirst(nullptr, name));
        node->SetRecent(true);
        // An installed font shows the glyph of its kind, another none.
        const bool installed = QFontDatabase::hasFamily(name);
        node->SetImageIndex(installed ? GlyphOf(TypeOf(name)) : -1);
    }
    if (savedSelectionText_.isEmpty())
        return;
    TfcTreeNode* selected = TreeView()->Selected();
    if (!selected || selected->Text() != savedSelectionText_)
        TreeView()->SetSelected(Items().FindNode(savedSelectionText_, false));
    savedSelectionText_.clear();
}

TfcTreeNode* TfcCustomFontCombo::FirstSearchNode()
{
    const int recent = static_cast<int>(recentFonts_.size());
    return Items().RootCount() > recent ? Items().Root(recent) : nullptr;
}

void TfcCustomFontCombo::DropDown()
{
    if (IsDroppedDown())
        return;
    FillWhenEmpty();
    TfcCustomTreeCombo::DropDown();
    hintActive_ = true;
}

void TfcCustomFontCombo::CloseUp(bool accept)
{
    TfcCustomTreeCombo::CloseUp(accept);
    hintActive_ = false;
    HideFontHint();
    if (!accept || maxMRU_ == -1 || !TreeView()->Selected())
        return;
    AddRecentFont(text());
    if (TfcTreeNode* node = Items().FindNode(text(), false))
        Choose(node);
}

bool TfcCustomFontCombo::KeyPress(QKeyEvent* event)
{
    if (!event->text().isEmpty())
        FillWhenEmpty();
    return TfcCustomTreeCombo::KeyPress(event);
}

void TfcCustomFontCombo::PopupMouseMove(const QPoint& pos)
{
    if (!showFontHint_)
        return;
    hintActive_ = TreeView()->viewport()->rect().contains(pos);
    if (!hintActive_)
        HideFontHint();
}

void TfcCustomFontCombo::PopupMouseOutside(QEvent::Type type, const QPoint& globalPos, Qt::MouseButtons buttons)
{
    TfcCustomTreeCombo::PopupMouseOutside(type, globalPos, buttons);
    if (type == QEvent::MouseMove && IsDroppedDown())
        PopupMouseMove(TreeView()->viewport()->mapFromGlobal(globalPos));
}

void TfcCustomFontCombo::FontHintFor(TfcTreeNode* node)
{
    if (!showFontHint_ || !node || !IsDroppedDown() || !hintActive_)
        return;
    HideFontHint();
    QString hint = node->Text();
    QFont& font = TfcToolTip::SharedFont();
    font.setFamily(node->Text());
    font.setPointSize(12);
    emit OnGenerateFontHint(this, node->Text(), hint, font);
    pendingHint_ = hint;
    if (immediateHints_)
        ShowFontHintNow();
    else
        hintDelay_.start(style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, this));
}

void TfcCustomFontCombo::ShowFontHintNow()
{
    TfcTreeNode* node = TreeView()->Selected();
    if (!node || !IsDroppedDown())
        return;
    if (!fontHint_)
        fontHint_ = new TfcToolTip();
    const QRect row = TreeView()->DisplayRect(node, false);
    const QPoint at(Panel()->geometry().right() + 4, TreeView()->viewport()->mapToGlobal(row.topLeft()).y());
    fontHint_->ActivateHint(at, pendingHint_);
}

void TfcCustomFontCombo::HideFontHint()
{
    hintDelay_.stop();
    if (fontHint_)
        fontHint_->hide();
}

} // namespace lumeno
