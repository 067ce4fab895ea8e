#pragma once

#include "gui/people/PersonScreen.h"

#include <memory>

namespace Ui {
class StaffScreen;
}

namespace kx3 {

/// The staff editor (`pnStaff`): one non-playing person (classification 1 or
/// 3), his person record, his staff attribute record and his misc entries.
///
/// The boxes are only a draft: the images change when the user confirms, and
/// a confirm writes nothing unless the core accepts every box.
class StaffScreen : public PersonScreen
{
    Q_OBJECT

public:
    explicit StaffScreen(ScreenContext &context, QWidget *parent = nullptr);
    ~StaffScreen() override;

protected:
    std::vector<QComboBox *> nationLists() const override;
    void showExtra(const PersonEdit &edit) override;
    void readExtra(PersonEdit &edit) const override;

private:
    std::unique_ptr<Ui::StaffScreen> mUi;
};

} // namespace kx3
