#include "gui/world/OfficialScreen.h"
#include "ui_OfficialScreen.h"

#include "core/db/Cp1252.h"
#include "core/db/DataFiles.h"
#include "core/lookup/Lookups.h"
#include "core/records/DeleteRecords.h"
#include "gui/widgets/BusyCursor.h"
#include "gui/widgets/Prompter.h"
#include "gui/widgets/BoxHelpers.h"

#include <QStyle>

#include <array>

namespace kx3 {

namespace {

// The boxes of officialBoxes(), in its order.
constexpr std::array<const char *, OfficialBoxCount> BoxNames = {
    "ODOB1", "ODOB2", "ODOB3", "OAbi",  "OPot", "ORep",  "OFlow",
    "ODisc", "OImp",  "OPres", "OReff", "ORun", "OTime",
};

const QString AreYouSure = QStringLiteral("Are you sure?");

} // namespace

OfficialScreen::OfficialScreen(ScreenContext &context, QWidget *parent)
    : RecordScreen(context, parent), mUi(std::make_unique<Ui::OfficialScreen>())
{
    mUi->setupUi(this);
    setFixedSize(size());
    mBoxes = findBoxes(this, BoxNames);
    // The go-to buttons wait for the screens they open.
    const QIcon goTo = style()->standardIcon(QStyle::SP_ArrowRight);
    for (QToolButton *b : {mUi->bnONat, mUi->bnOCity}) {
        b->setIcon(goTo);
        b->setEnabled(false);
    }
    keepToolTipsUp(this);

    connect(mUi->ConfirmOff, &QAbstractButton::clicked, this, [this] { confirm(); });
    connect(mUi->bnOMax, &QAbstractButton::clicked, this, &OfficialScreen::bnOMaxClick);
    connect(mUi->OFName, &QLineEdit::textChanged, this, [this] { nameChanged(true, false); });
    connect(mUi->OSName, &QLineEdit::textChanged, this, [this] { nameChanged(false, true); });
    // Names are filed under the nation: a new nation resolves both again.
    for (QComboBox *list : {mUi->ONation, mUi->OCity})
        connect(list, &QComboBox::currentIndexChanged, this, [this] { nameChanged(true, true); });
    connect(mUi->bnONat, &QToolButton::clicked, this, [this] {
        const int nation = mUi->ONation->currentIndex() - 1;
        if (nation >= 0)
            Q_EMIT recordRequested(EditorScreen::Nation, qint64(nation) * RecordSize::Nation);
    });
    connect(mUi->bnOCity, &QToolButton::clicked, this, [this] {
        const int city = mContext.lookups.cities().recordIndex(mUi->OCity->currentIndex());
        if (city >= 0)
            Q_EMIT recordRequested(EditorScreen::City, qint64(city) * RecordSize::City);
    });
}

OfficialScreen::~OfficialScreen() = default;

std::optional<int> OfficialScreen::currentOfficial() const
{
    return mContext.state.newRecordMode ? std::nullopt : mShown;
}

RecordButton OfficialScreen::createButton() const
{
    return {QStringLiteral("Create New Official"), true, RecordKind::Official};
}

RecordButton OfficialScreen::deleteButton() const
{
    return {QStringLiteral("Delete Official"), currentOfficial().has_value(),
            RecordKind::Official};
}

QString OfficialScreen::title() const
{
    return mUi->OFName->text() + QLatin1Char(' ') + mUi->OSName->text();
}

void OfficialScreen::screenAdded(EditorScreen kind)
{
    if (kind == EditorScreen::Nation)
        mUi->bnONat->setEnabled(true);
    if (kind == EditorScreen::City)
        mUi->bnOCity->setEnabled(true);
}

// A city created or renamed since the last show must be offered at once.
void OfficialScreen::fillChoiceLists()
{
    refillItems(std::array{mUi->ONation}, mContext.lookups.nations());
    refillItems(std::array{mUi->OCity}, mContext.lookups.cities().items());
}

bool OfficialScreen::showRecord()
{
    BusyCursor busy;
    const qint64 offset = mContext.state.officialOffset;
    if (offset < 0 || offset % RecordSize::Official != 0)
        return false;
    const int index = int(offset / RecordSize::Official);
    fillChoiceLists();
    const std::optional<OfficialEdit> edit =
        loadOfficialEdit(mContext.db, mContext.lookups, index);
    if (!edit)
        return false;
    mContext.state.newRecordMode = false;
    mShown = index;
    showEdit(*edit);
    Q_EMIT titleChanged(title());
    Q_EMIT buttonsChanged();
    return true;
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

bool OfficialScreen::confirm()
{
    const bool creating = mContext.state.newRecordMode;
    if (!creating && !mShown)
        return false;
    OfficialEdit edit;
    edit.firstName = toCp1252(mUi->OFName->text());
    edit.secondName = toCp1252(mUi->OSName->text());
    for (QLineEdit *box : mBoxes)
        edit.boxes.append(box->text());
    edit.nationItem = mUi->ONation->currentIndex();
    edit.cityItem = mUi->OCity->currentIndex();
    edit.firstNameChanged = mFirstNameChanged;
    edit.secondNameChanged = mSecondNameChanged;

    EditResult result;
    {
        BusyCursor busy;
        result = applyOfficialEdit(mContext.db, mContext.lookups, creating ? std::nullopt : mShown,
                                   edit);
    }
    if (!result.ok()) {
        showRefusal(boxAt(mBoxes, result.box), result.message);
        return false;
    }
    mShown = *result.record;
    mContext.state.officialOffset = qint64(*mShown) * RecordSize::Official;
    mContext.state.newRecordMode = false;
    mFirstNameChanged = mSecondNameChanged = false;
    Q_EMIT buttonsChanged();
    Q_EMIT dataModified();
    return true;
}

void OfficialScreen::beginNewRecord()
{
    if (!mContext.prompter.question(AreYouSure))
        return;
    fillChoiceLists();
    mContext.state.newRecordMode = true;
    showEdit(newOfficialEdit());
    mUi->OFName->setFocus();
    Q_EMIT titleChanged(title());
    Q_EMIT buttonsChanged();
}

void OfficialScreen::deleteRecord()
{
    const std::optional<int> index = currentOfficial();
    if (!index || !mContext.prompter.question(AreYouSure))
        return;
    {
        BusyCursor busy;
        if (!deleteOfficial(mContext.db, *index))
            return;
    }
    mShown.reset();
    Q_EMIT recordDeleted(deletedMessage(DeletedOfficialKind));
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
