#pragma once

#include "gui/people/PersonScreen.h"

#include <array>
#include <memory>
#include <utility>

namespace Ui {
class PlayerScreen;
}

namespace kx3 {

class HistoryEditor;

/// The player editor (`pnPlayer`): a person of the player kind with his player
/// attribute record, career history, misc entries and relationship list.
///
/// The boxes are only a draft: the images change when the user confirms, and
/// a confirm writes nothing unless the core accepts every box.
class PlayerScreen : public PersonScreen
{
    Q_OBJECT

public:
    explicit PlayerScreen(ScreenContext &context, QWidget *parent = nullptr);
    ~PlayerScreen() override;

    /// Club picking chose `text` for one of the screen's club boxes.
    void setPickedClub(ClubPickField field, const QString &text) override;

protected:
    void showExtra(const PersonEdit &edit) override;
    void readExtra(PersonEdit &edit) const override;
    QStringList editState() const override;
    QWidget *historyControl() const override;
    void confirmed() override;

private:
    /// The boxes of the "Miscelaneous" tab and the entry each one holds.
    std::array<std::pair<QLineEdit *, QByteArray PlayerMiscEntries::*>, 15> miscTexts() const;

    std::unique_ptr<Ui::PlayerScreen> mUi;
    HistoryEditor *mHistory = nullptr;
};

} // namespace kx3
