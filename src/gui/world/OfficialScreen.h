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

    EditorScreen kind() const override { return EditorScreen::Official; }
    bool showRecord() override;
    bool confirm() override;
    void beginNewRecord() override;
    void deleteRecord() override;
    RecordButton createButton() const override;
    RecordButton deleteButton() const override;
    QString title() const override;
    void screenAdded(EditorScreen kind) override;

    /// Fills the screen from the current official and leaves new-record mode.
    void ShowOfficial() { showRecord(); }
    /// Writes the screen into the official shown, or appends a new one in
    /// new-record mode. False, with nothing written, when refused.
    bool ConfirmOffClick() { return confirm(); }

    /// The official the screen shows and a confirm writes; nothing in
    /// new-record mode before the first confirm.
    std::optional<int> currentOfficial() const;

private:
    void showEdit(const OfficialEdit &edit);
    void fillChoiceLists();
    void nameChanged(bool first, bool second);
    void bnOMaxClick();

    std::unique_ptr<Ui::OfficialScreen> mUi;
    std::vector<QLineEdit *> mBoxes;
    std::optional<int> mShown;
    bool mFirstNameChanged = false;
    bool mSecondNameChanged = false;
};

} // namespace kx3
