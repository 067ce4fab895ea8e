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

    QString title() const override;

protected:
    EditResult applyBoxes(std::optional<int> record) override;
    void recordConfirmed(bool created) override;
    bool loadRecord(int index) override;
    void loadNewRecord() override;
    bool canCreate() const override { return true; }

private:
    void showEdit(const CityEdit &edit);
    void fillChoiceLists();
    void ConfirmCityClick() { confirm(); }

    std::unique_ptr<Ui::CityScreen> mUi;
};

} // namespace kx3
