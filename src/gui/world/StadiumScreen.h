#pragma once

#include "core/world/StadiumEdit.h"
#include "gui/screen/RecordScreen.h"

#include <memory>
#include <optional>
#include <vector>

class QLineEdit;

namespace Ui {
class StadiumScreen;
}

namespace kx3 {

/// The stadium editor (`pnStad`): one stadium of stadium.dat, its name, city,
/// capacities, nearby stadium and facilities.
///
/// The boxes are only a draft: the record changes when the user confirms, and
/// a confirm writes nothing unless the core accepts every box.
class StadiumScreen : public RecordScreen
{
    Q_OBJECT

public:
    explicit StadiumScreen(ScreenContext &context, QWidget *parent = nullptr);
    ~StadiumScreen() override;

    EditorScreen kind() const override { return EditorScreen::Stadium; }
    bool showRecord() override;
    bool confirm() override;
    void beginNewRecord() override;
    RecordButton createButton() const override;
    RecordButton deleteButton() const override;
    QString title() const override;
    void screenAdded(EditorScreen kind) override;

    /// Fills the screen from the current stadium and leaves new-record mode.
    void ShowStadium() { showRecord(); }
    /// Writes the screen into the stadium shown, or appends a new stadium in
    /// new-record mode. False, with nothing written, when refused.
    bool ConfirmStadiumClick() { return confirm(); }

private:
    void showEdit(const StadiumEdit &edit);
    void fillChoiceLists();
    void bnStCityClick();
    void bnStNearbyClick();

    std::unique_ptr<Ui::StadiumScreen> mUi;
    std::vector<QLineEdit *> mBoxes;
    std::optional<int> mShown;
};

} // namespace kx3
