#pragma once

#include "core/world/CityEdit.h"
#include "gui/screen/RecordScreen.h"

#include <memory>
#include <optional>
#include <vector>

class QLineEdit;

namespace Ui {
class CityScreen;
}

namespace kx3 {

/// The city editor (`pnCity`): one city of city.dat, its name, nation,
/// position, attraction and climate.
///
/// The boxes are only a draft: the record changes when the user confirms, and
/// a confirm writes nothing unless the core accepts every box.
class CityScreen : public RecordScreen
{
    Q_OBJECT

public:
    explicit CityScreen(ScreenContext &context, QWidget *parent = nullptr);
    ~CityScreen() override;

    EditorScreen kind() const override { return EditorScreen::City; }
    bool showRecord() override;
    bool confirm() override;
    void beginNewRecord() override;
    RecordButton createButton() const override;
    RecordButton deleteButton() const override;
    QString title() const override;
    void screenAdded(EditorScreen kind) override;

    /// Fills the screen from the current city and leaves new-record mode.
    void ShowCity() { showRecord(); }
    /// Writes the screen into the city shown, or appends a new city in
    /// new-record mode. False, with nothing written, when refused.
    bool ConfirmCityClick() { return confirm(); }

private:
    void showEdit(const CityEdit &edit);
    void fillChoiceLists();
    void bnCtNatClick();

    std::unique_ptr<Ui::CityScreen> mUi;
    std::vector<QLineEdit *> mBoxes;
    std::optional<int> mShown;
};

} // namespace kx3
