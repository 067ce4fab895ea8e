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

    EditorScreen kind() const override { return EditorScreen::Nation; }
    bool showRecord() override;
    bool confirm() override;
    RecordButton createButton() const override;
    RecordButton deleteButton() const override;
    QString title() const override;
    void screenAdded(EditorScreen kind) override;

    /// Fills the screen from the current nation.
    void ShowNation() { showRecord(); }
    /// Writes the screen into the nation shown. False, with nothing written,
    /// when refused.
    bool ConfirmNationClick() { return confirm(); }

private:
    void fillChoiceLists();
    void showEdit(const NationEdit &edit);
    NationEdit editOfBoxes() const;
    void goTo(EditorScreen kind, const PickList &list, const QComboBox *box, int recordSize);

    std::unique_ptr<Ui::NationScreen> mUi;
    std::vector<QLineEdit *> mBoxes;
    std::array<QComboBox *, 3> mLanguages{};
    std::array<QComboBox *, 6> mKitColours{};
    std::array<QComboBox *, 3> mRivals{};
    std::optional<int> mShown;
};

} // namespace kx3
