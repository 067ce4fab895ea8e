#pragma once

#include "core/clubs/ClubEdit.h"
#include "gui/screen/RecordScreen.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace Ui {
class ClubScreen;
}

namespace kx3 {

/// The club editor (`pnClub`): one club or national team of the combined club
/// image, its profile, kit colours, squad, staff and relationship slots.
///
/// The boxes are only a draft: the record changes when the user confirms, and
/// a confirm writes nothing unless the core accepts every box.
class ClubScreen : public RecordScreen
{
    Q_OBJECT

public:
    explicit ClubScreen(ScreenContext &context, QWidget *parent = nullptr);
    ~ClubScreen() override;

    EditorScreen kind() const override { return EditorScreen::Club; }
    bool showRecord() override;
    bool confirm() override;
    void beginNewRecord() override;
    void deleteRecord() override;
    RecordButton createButton() const override;
    RecordButton deleteButton() const override;
    QString title() const override;
    void relationshipsChanged(MiscListSource source) override;
    void screenAdded(EditorScreen kind) override;

    /// Fills the screen from the current club and leaves new-record mode.
    void ShowClub() { showRecord(); }
    /// Writes the screen into the club shown, or inserts a new club in
    /// new-record mode. False, with nothing written, when refused.
    bool ConfirmClubClick() { return confirm(); }

    /// The club the screen shows and a confirm writes; nothing in new-record
    /// mode before the first confirm.
    std::optional<int> currentClub() const;

private:
    void showEdit(const ClubEdit &edit);
    void fillChoiceLists();
    void rebuildLists();
    void rebuildMiscList();
    void CLongNameExit();
    void ListToPlayerClick();
    void ListToStaffClick();
    void bnCMiscClick();
    void goToStadium(const QComboBox *list);

    std::unique_ptr<Ui::ClubScreen> mUi;
    std::vector<QLineEdit *> mBoxes;
    std::array<QComboBox *, 6> mKitColours{};
    std::optional<int> mShown;
    bool mNationChanged = false;
};

} // namespace kx3
