#pragma once
// Multi-selection of a kit tree: on or off, on which level (-1 every level)
// and whether the level's nodes carry check boxes that select them.

namespace lumeno {

class TfcCustomTreeView;

class TfcTVMultiSelectAttributes {
public:
    explicit TfcTVMultiSelectAttributes(TfcCustomTreeView* tree) : tree_(tree) {}

    bool AutoUnselect() const { return autoUnselect_; }
    void SetAutoUnselect(bool value) { autoUnselect_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    int MultiSelectLevel() const { return level_; }
    void SetMultiSelectLevel(int value);
    bool MultiSelectCheckbox() const { return checkbox_; }
    void SetMultiSelectCheckbox(bool value);

private:
    TfcCustomTreeView* tree_;
    bool autoUnselect_ = true;
    bool enabled_ = false;
    int level_ = 0;
    bool checkbox_ = true;
};

} // namespace lumeno
