#include "gui/world/OfficialScreen.h"
#include "ui_OfficialScreen.h"

#include "core/db/Cp1252.h"
#include "core/db/DataFiles.h"
#include "core/fields/FieldTable.h"
#include "core/lookup/Lookups.h"
#include "core/records/DeleteRecords.h"
#include "gui/widgets/BoxHelpers.h"
#include "gui/widgets/BusyCursor.h"
#include "gui/widgets/PanelAnchors.h"
#include "gui/widgets/Prompter.h"

#include <array>

namespace kx3 {

namespace {

const QString AreYouSure = QStringLiteral("Are you sure?");

} // namespace

OfficialScreen::OfficialScreen(ScreenContext &context, QWidget *parent)
    : RecordScreen(context, EditorScreen::Official, parent),
      mUi(std::make_unique<Ui::OfficialScreen>())
{
    mUi->setupUi(this);
    // In a larger window the boxes stay; the confirm stays along the foot.
    (new PanelAnchors(this))
        ->anchor({"ConfirmOff", "bnOMax"}, {PanelAnchors::Fixed, PanelAnchors::Move});
    mBoxes = findBoxes(this, boxWidgetNames(RecordKind::Official));
    describeBoxes(officialBoxes());
    addGoTo(mUi->bnONat, EditorScreen::Nation, [this] { return chosenNation(mUi->ONation); });
    addGoTo(mUi->bnOCity, EditorScreen::City,
            [this] { return chosenRecord(mContext.lookups.cities(), mUi->OCity); });
    keepToolTipsUp(this);

    connect(mUi->ConfirmOff, &QAbstractButton::clicked, this, &OfficialScreen::ConfirmOffClick);
    connect(mUi->bnOMax, &QAbstractButton::clicked, this, &OfficialScreen::bnOMaxClick);
    connect(mUi->OFName, &QLineEdit::textChanged, this, [this] { nameChanged(true, false); });
    connect(mUi->OSName, &QLineEdit::textChanged, this, [this] { nameChanged(false, true); });
    // Names are filed under the nation: a new nation resolves both again.
    for (QComboBox *list : {mUi->ONation, mUi->OCity})
        connect(list, &QComboBox::currentIndexChanged, this, [this] { nameChanged(true, true); });
}

OfficialScreen::~OfficialScreen() = default;

QString OfficialScreen::title() const
{
    return mUi->OFName->text() + QLatin1Char(' ') + mUi->OSName->text();
}

// A city created or renamed since the last show must be offered at once.
void OfficialScreen::fillChoiceLists()
{
    refillItems(std::array{mUi->ONation}, mContext.lookups.nations());
    refillItems(std::array{mUi->OCity}, mContext.lookups.cities().items());
}

bool OfficialScreen::loadRecord(int index)
{
    fillChoiceLists();
    const std::optional<OfficialEdit> edit =
        loadOfficialEdit(mContext.db, mContext.lookups, index);
    if (edit)
        showEdit(*edit);
    return edit.has_value();
}

void OfficialScreen::showEdit(const OfficialEdit &e)
{
    {
        const QSignalBlocker first(mUi->OFName);
        const QSignalBlocker second(mUi->OSName);
        mUi->OFName->setText(fromCp1252(e.firstName));
        mUi->OSName->setText(fromCp1252(e.secondName));
    }
    for (std::size_t i = 0; i < mBoxes.size(); ++i)
        mBoxes[i]->setText(e.boxes.value(qsizetype(i)));
    selectQuietly(mUi->ONation, e.nationItem);
    selectQuietly(mUi->OCity, e.cityItem);
    mFirstNameChanged = e.firstNameChanged;
    mSecondNameChanged = e.secondNameChanged;
}

EditResult OfficialScreen::applyBoxes(std::optional<int> record)
{
    OfficialEdit edit;
    edit.firstName = toCp1252(mUi->OFName->text());
    edit.secondName = toCp1252(mUi->OSName->text());
    for (QLineEdit *box : mBoxes)
        edit.boxes.append(box->text());
    edit.nationItem = mUi->ONation->currentIndex();
    edit.cityItem = mUi->OCity->currentIndex();
    edit.firstNameChanged = mFirstNameChanged;
    edit.secondNameChanged = mSecondNameChanged;
    return applyOfficialEdit(mContext.db, mContext.lookups, record, edit);
}

void OfficialScreen::recordConfirmed(bool)
{
    mFirstNameChanged = mSecondNameChanged = false;
}

void OfficialScreen::loadNewRecord()
{
    fillChoiceLists();
    showEdit(newOfficialEdit());
    mUi->OFName->setFocus();
}

void OfficialScreen::deleteRecord()
{
    const std::optional<int> index = currentRecord();
    if (!index || !mContext.prompter.question(AreYouSure))
        return;
    const QString name = title();
    {
        BusyCursor busy;
        if (!deleteOfficial(mContext.db, *index))
            return;
    }
    recordRemoved(*index, name, deletedMessage(DeletedOfficialKind));
}

void OfficialScreen::nameChanged(bool first, bool second)
{
    mFirstNameChanged = mFirstNameChanged || first;
    mSecondNameChanged = mSecondNameChanged || second;
    Q_EMIT titleChanged(title());
}

void OfficialScreen::bnOMaxClick()
{
    if (!mContext.prompter.question(AreYouSure))
        return;
    for (const PerfectValue &v : officialPerfectValues())
        mBoxes[std::size_t(v.box)]->setText(QString::number(v.value));
}

} // namespace kx3
