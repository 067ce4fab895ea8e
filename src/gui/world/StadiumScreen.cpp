#include "gui/world/StadiumScreen.h"
#include "ui_StadiumScreen.h"

#include "core/db/Cp1252.h"
#include "core/db/DataFiles.h"
#include "core/fields/FieldTable.h"
#include "core/lookup/Lookups.h"
#include "gui/widgets/BoxHelpers.h"
#include "gui/widgets/PanelAnchors.h"

#include <QStyle>

namespace kx3 {

StadiumScreen::StadiumScreen(ScreenContext &context, QWidget *parent)
    : RecordScreen(context, EditorScreen::Stadium, parent),
      mUi(std::make_unique<Ui::StadiumScreen>())
{
    mUi->setupUi(this);
    // In a larger window the boxes stay; the confirm stays along the foot.
    (new PanelAnchors(this))
        ->anchor({"ConfirmStadium"}, {PanelAnchors::Fixed, PanelAnchors::Move});
    mBoxes = findBoxes(this, boxWidgetNames(RecordKind::Stadium));
    describeBoxes(stadiumBoxes());

    // The nearby stadium opens on this screen, which is never told that it
    // was added itself, so only the city button waits.
    addGoTo(mUi->bnStCity, EditorScreen::City);
    mUi->bnStNearby->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    keepToolTipsUp(this);

    connect(mUi->ConfirmStadium, &QAbstractButton::clicked, this,
            &StadiumScreen::ConfirmStadiumClick);
    // The title bar names the stadium as it is typed, before any confirm.
    connect(mUi->StadName, &QLineEdit::textChanged, this,
            [this] { Q_EMIT titleChanged(title()); });
    connect(mUi->bnStCity, &QToolButton::clicked, this, &StadiumScreen::bnStCityClick);
    connect(mUi->bnStNearby, &QToolButton::clicked, this, &StadiumScreen::bnStNearbyClick);
}

StadiumScreen::~StadiumScreen() = default;

QString StadiumScreen::title() const
{
    return mUi->StadName->text();
}

// The pick lists come from the loaded database, which does not exist yet when
// the screen is built; a new or renamed city or stadium changes them, so each
// show checks.
void StadiumScreen::fillChoiceLists()
{
    const Lookups &lookups = mContext.lookups;
    refillItems(std::array{mUi->StCity}, lookups.cities().items());
    refillItems(std::array{mUi->StNearby}, lookups.stadiums().items());
}

// Stadiums are never deleted: clubs and nations point at them.
bool StadiumScreen::loadRecord(int index)
{
    fillChoiceLists();
    const std::optional<StadiumEdit> edit = loadStadiumEdit(mContext.db, mContext.lookups, index);
    if (edit)
        showEdit(*edit);
    return edit.has_value();
}

void StadiumScreen::showEdit(const StadiumEdit &e)
{
    mUi->StadName->setText(fromCp1252(e.name));
    for (std::size_t i = 0; i < mBoxes.size(); ++i)
        mBoxes[i]->setText(e.boxes.value(qsizetype(i)));
    selectQuietly(mUi->StCity, e.cityItem);
    selectQuietly(mUi->StNearby, e.nearbyItem);
    mUi->StRoof->setChecked(e.retractableRoof);
    mUi->StHeat->setChecked(e.underSoilHeating);
}

EditResult StadiumScreen::applyBoxes(std::optional<int> record)
{
    StadiumEdit edit;
    edit.name = toCp1252(mUi->StadName->text());
    for (QLineEdit *box : mBoxes)
        edit.boxes.append(box->text());
    edit.cityItem = mUi->StCity->currentIndex();
    edit.nearbyItem = mUi->StNearby->currentIndex();
    edit.retractableRoof = mUi->StRoof->isChecked();
    edit.underSoilHeating = mUi->StHeat->isChecked();
    return applyStadiumEdit(mContext.db, mContext.lookups, record, edit);
}

// A new or renamed stadium takes its place in the nearby list at once; the
// screen shows the stadium as stored (a new one has no nearby stadium,
// whatever was chosen).
void StadiumScreen::recordConfirmed(bool)
{
    loadRecord(*mShown);
}

void StadiumScreen::loadNewRecord()
{
    fillChoiceLists();
    showEdit(newStadiumEdit());
    mUi->StadName->setFocus();
}

void StadiumScreen::bnStCityClick()
{
    if (const std::optional<int> city = chosenRecord(mContext.lookups.cities(), mUi->StCity))
        requestRecord(EditorScreen::City, *city);
}

void StadiumScreen::bnStNearbyClick()
{
    const PickList &stadiums = mContext.lookups.stadiums();
    if (const std::optional<int> stadium = chosenRecord(stadiums, mUi->StNearby))
        requestRecord(EditorScreen::Stadium, *stadium);
}

} // namespace kx3
