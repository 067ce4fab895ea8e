#pragma once

#include "core/clubs/ClubEdit.h"
#include "gui/screen/PickTargets.h"
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

    void deleteRecord() override;
    QString title() const override;
    /// A relationship slot of `source` was written from the misc-list dialog.
    void relationshipsChanged(MiscListSource source) override;

protected:
    EditResult applyBoxes(std::optional<int> record) override;
    void recordConfirmed(bool created) override;
    bool loadRecord(int index) override;
    void recordShown() override { rebuildLists(); }
    void loadNewRecord() override;
    bool canCreate() const override { return true; }
    bool canDelete() const override { return currentRecord().has_value(); }

private:
    void ConfirmClubClick() { confirm(); }
    void showEdit(const ClubEdit &edit);
    void fillChoiceLists();
    void rebuildLists();
    void rebuildMiscList();
    void CLongNameExit();
    void ListToPlayerClick();
    void ListToStaffClick();
    void bnCMiscClick();

    std::unique_ptr<Ui::ClubScreen> mUi;
    std::array<QComboBox *, 6> mKitColours{};
    bool mNationChanged = false;
};

} // namespace kx3
