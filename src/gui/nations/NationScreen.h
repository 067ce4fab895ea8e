#pragma once

#include "core/nations/NationEdit.h"
#include "gui/screen/RecordScreen.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLineEdit;

namespace Ui {
class NationScreen;
}

namespace kx3 {

class PickList;

/// The nation editor (`pnNation`): one nation of nation.dat, its geography,
/// languages, capital and national stadium, ratings, kit colours,
/// coefficients and rivals. The names and the two counters are shown only.
///
/// Nations are neither created nor deleted here; a confirm writes nothing
/// unless the core accepts every box.
class NationScreen : public RecordScreen
{
    Q_OBJECT

public:
    explicit NationScreen(ScreenContext &context, QWidget *parent = nullptr);
    ~NationScreen() override;

    QString title() const override;

protected:
    // Nations come with the game: there is nothing to create or delete.
    EditResult applyBoxes(std::optional<int> record) override;
    bool loadRecord(int index) override;

private:
    void fillChoiceLists();
    void showEdit(const NationEdit &edit);
    NationEdit editOfBoxes() const;
    void ConfirmNationClick() { confirm(); }

    std::unique_ptr<Ui::NationScreen> mUi;
    std::array<QComboBox *, 3> mLanguages{};
    std::array<QComboBox *, 6> mKitColours{};
    std::array<QComboBox *, 3> mRivals{};
};

} // namespace kx3
