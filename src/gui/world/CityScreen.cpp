#include "gui/world/CityScreen.h"
#include "ui_CityScreen.h"

#include "core/db/Cp1252.h"
#include "core/db/DataFiles.h"
#include "core/fields/FieldTable.h"
#include "core/layout/CityRecord.h"
#include "core/lookup/Lookups.h"
#include "gui/widgets/BoxHelpers.h"
#include "gui/widgets/PanelAnchors.h"

namespace kx3 {

CityScreen::CityScreen(ScreenContext &context, QWidget *parent)
    : RecordScreen(context, EditorScreen::City, parent), mUi(std::make_unique<Ui::CityScreen>())
{
    mUi->setupUi(this);
    // In a larger window the boxes stay; the confirm stays along the foot.
    (new PanelAnchors(this))->anchor({"ConfirmCity"}, {PanelAnchors::Fixed, PanelAnchors::Move});
    mBoxes = findBoxes(this, boxWidgetNames(RecordKind::City));
    describeBoxes(cityBoxes());
    fillItems(mUi->CtWeather, itemsOf(ClimateItems));

    addGoTo(mUi->bnCtNat, EditorScreen::Nation, [this] { return chosenNation(mUi->CtNat); });
    keepToolTipsUp(this);

    connect(mUi->ConfirmCity, &QAbstractButton::clicked, this, &CityScreen::ConfirmCityClick);
    // The title bar names the city as it is typed, before any confirm.
    connect(mUi->CtName, &QLineEdit::textChanged, this, [this] { Q_EMIT titleChanged(title()); });
}

CityScreen::~CityScreen() = default;

QString CityScreen::title() const
{
    return mUi->CtName->text();
}

// The nation list comes from the loaded database, which does not exist yet
// when the screen is built.
void CityScreen::fillChoiceLists()
{
    refillItems(std::array{mUi->CtNat}, mContext.lookups.nations());
}

// Cities are never deleted: stadiums, officials and nations point at them.
bool CityScreen::loadRecord(int index)
{
    fillChoiceLists();
    const std::optional<CityEdit> edit = loadCityEdit(mContext.db, mContext.lookups, index);
    if (edit)
        showEdit(*edit);
    return edit.has_value();
}

void CityScreen::showEdit(const CityEdit &e)
{
    mUi->CtName->setText(fromCp1252(e.name));
    for (std::size_t i = 0; i < mBoxes.size(); ++i)
        mBoxes[i]->setText(e.boxes.value(qsizetype(i)));
    selectQuietly(mUi->CtNat, e.nationItem);
    selectQuietly(mUi->CtWeather, e.climateItem);
}

EditResult CityScreen::applyBoxes(std::optional<int> record)
{
    CityEdit edit;
    edit.name = toCp1252(mUi->CtName->text());
    for (QLineEdit *box : mBoxes)
        edit.boxes.append(box->text());
    edit.nationItem = mUi->CtNat->currentIndex();
    edit.climateItem = mUi->CtWeather->currentIndex();
    return applyCityEdit(mContext.db, mContext.lookups, record, edit);
}

// Show the city as stored, so that every box reads what the next show would
// give.
void CityScreen::recordConfirmed(bool)
{
    loadRecord(*mShown);
}

void CityScreen::loadNewRecord()
{
    fillChoiceLists();
    showEdit(newCityEdit());
    mUi->CtName->setFocus();
}

} // namespace kx3
