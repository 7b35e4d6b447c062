#pragma once
// A titled group of radio buttons, one of which is chosen, addressed by
// index. Clicked fires only when the user picks an item.

#include <QGroupBox>

#include <vector>

class QButtonGroup;
class QRadioButton;

namespace lumeno {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

    int ItemIndex() const;
    // Chooses an item without firing Clicked; -1 chooses none.
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const { return buttons_.at(std::size_t(index)); }
    int Count() const { return int(buttons_.size()); }

signals:
    void Clicked(int index);

private:
    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
};

} // namespace lumeno
