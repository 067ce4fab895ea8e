#include "gui/world/CityScreen.h"
#include "ui_CityScreen.h"

#include "core/db/Cp1252.h"
#include "core/db/DataFiles.h"
#include "core/lookup/Lookups.h"
#include "core/layout/CityRecord.h"
#include "gui/widgets/BusyCursor.h"
#include "gui/widgets/Prompter.h"
#include "gui/widgets/BoxHelpers.h"

#include <QStyle>

namespace kx3 {

namespace {

// The boxes of cityBoxes(), in its order.
constexpr std::array<const char *, CityBoxCount> BoxNames = {"CtLat", "CtLong", "CtAttract"};

} // namespace

CityScreen::CityScreen(ScreenContext &context, QWidget *parent)
    : RecordScreen(context, parent), mUi(std::make_unique<Ui::CityScreen>())
{
    mUi->setupUi(this);
    setFixedSize(size());
    mBoxes = findBoxes(this, BoxNames);
    fillItems(mUi->CtWeather, itemsOf(ClimateItems));

    // The nation screen opens the nation; the button waits for it.
    mUi->bnCtNat->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    mUi->bnCtNat->setEnabled(false);
    keepToolTipsUp(this);

    connect(mUi->ConfirmCity, &QAbstractButton::clicked, this, [this] { confirm(); });
    // The title bar names the city as it is typed, before any confirm.
    connect(mUi->CtName, &QLineEdit::textChanged, this, [this] { Q_EMIT titleChanged(title()); });
    connect(mUi->bnCtNat, &QToolButton::clicked, this, &CityScreen::bnCtNatClick);
}

CityScreen::~CityScreen() = default;

RecordButton CityScreen::createButton() const
{
    return {QStringLiteral("Create New City"), true, RecordKind::City};
}

// Cities are never deleted: stadiums, officials and nations point at them.
RecordButton CityScreen::deleteButton() const
{
    return {QStringLiteral("Delete City"), false, RecordKind::City};
}

QString CityScreen::title() const
{
    return mUi->CtName->text();
}

void CityScreen::screenAdded(EditorScreen kind)
{
    if (kind == EditorScreen::Nation)
        mUi->bnCtNat->setEnabled(true);
}

// The nation list comes from the loaded database, which does not exist yet
// when the screen is built.
void CityScreen::fillChoiceLists()
{
    refillItems(std::array{mUi->CtNat}, mContext.lookups.nations());
}

bool CityScreen::showRecord()
{
    BusyCursor busy;
    const qint64 offset = mContext.state.cityOffset;
    if (offset < 0 || offset % RecordSize::City != 0)
        return false;
    const int index = int(offset / RecordSize::City);
    fillChoiceLists();
    const std::optional<CityEdit> edit = loadCityEdit(mContext.db, mContext.lookups, index);
    if (!edit)
        return false;
    mContext.state.newRecordMode = false;
    mShown = index;
    showEdit(*edit);
    Q_EMIT titleChanged(title());
    Q_EMIT buttonsChanged();
    return true;
}

void CityScreen::showEdit(const CityEdit &e)
{
    mUi->CtName->setText(fromCp1252(e.name));
    for (std::size_t i = 0; i < mBoxes.size(); ++i)
        mBoxes[i]->setText(e.boxes.value(qsizetype(i)));
    selectQuietly(mUi->CtNat, e.nationItem);
    selectQuietly(mUi->CtWeather, e.climateItem);
}

bool CityScreen::confirm()
{
    const bool creating = mContext.state.newRecordMode;
    if (!creating && !mShown)
        return false;
    CityEdit edit;
    edit.name = toCp1252(mUi->CtName->text());
    for (QLineEdit *box : mBoxes)
        edit.boxes.append(box->text());
    edit.nationItem = mUi->CtNat->currentIndex();
    edit.climateItem = mUi->CtWeather->currentIndex();

    EditResult result;
    {
        BusyCursor busy;
        result =
            applyCityEdit(mContext.db, mContext.lookups, creating ? std::nullopt : mShown, edit);
    }
    if (!result.ok()) {
        showRefusal(boxAt(mBoxes, result.box), result.message);
        return false;
    }
    mShown = *result.record;
    mContext.state.cityOffset = qint64(*mShown) * RecordSize::City;
    mContext.state.newRecordMode = false;
    // Show the city as stored, so that every box reads what the next show
    // would give.
    fillChoiceLists();
    showEdit(*loadCityEdit(mContext.db, mContext.lookups, *mShown));
    Q_EMIT buttonsChanged();
    Q_EMIT dataModified();
    Q_EMIT titleChanged(title());
    return true;
}

void CityScreen::beginNewRecord()
{
    if (!mContext.prompter.question(QStringLiteral("Are you sure?")))
        return;
    fillChoiceLists();
    mContext.state.newRecordMode = true;
    showEdit(newCityEdit());
    mUi->CtName->setFocus();
    Q_EMIT titleChanged(title());
    Q_EMIT buttonsChanged();
}

void CityScreen::bnCtNatClick()
{
    const int nation = mUi->CtNat->currentIndex() - 1;
    if (nation >= 0)
        Q_EMIT recordRequested(EditorScreen::Nation, qint64(nation) * RecordSize::Nation);
}

} // namespace kx3
