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

    QString title() const override;

protected:
    EditResult applyBoxes(std::optional<int> record) override;
    void recordConfirmed(bool created) override;
    bool loadRecord(int index) override;
    void loadNewRecord() override;
    bool canCreate() const override { return true; }

private:
    void showEdit(const StadiumEdit &edit);
    void fillChoiceLists();
    void ConfirmStadiumClick() { confirm(); }
    void bnStCityClick();
    void bnStNearbyClick();

    std::unique_ptr<Ui::StadiumScreen> mUi;
};

} // namespace kx3
