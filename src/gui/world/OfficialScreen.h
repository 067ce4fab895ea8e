#pragma once

#include "core/world/OfficialEdit.h"
#include "gui/screen/RecordScreen.h"

#include <memory>
#include <optional>
#include <vector>

class QLineEdit;

namespace Ui {
class OfficialScreen;
}

namespace kx3 {

/// The official editor (`pnOff`): one match official, his names, date of
/// birth, nation, home city and ratings.
///
/// The boxes are only a draft: the record changes when the user confirms, and
/// a confirm writes nothing unless the core accepts every box.
class OfficialScreen : public RecordScreen
{
    Q_OBJECT

public:
    explicit OfficialScreen(ScreenContext &context, QWidget *parent = nullptr);
    ~OfficialScreen() override;

    void deleteRecord() override;
    QString title() const override;

protected:
    EditResult applyBoxes(std::optional<int> record) override;
    void recordConfirmed(bool created) override;
    bool loadRecord(int index) override;
    void loadNewRecord() override;
    bool canCreate() const override { return true; }
    bool canDelete() const override { return currentRecord().has_value(); }

private:
    void showEdit(const OfficialEdit &edit);
    void fillChoiceLists();
    void ConfirmOffClick() { confirm(); }
    void nameChanged(bool first, bool second);
    void bnOMaxClick();

    std::unique_ptr<Ui::OfficialScreen> mUi;
    bool mFirstNameChanged = false;
    bool mSecondNameChanged = false;
};

} // namespace kx3
