#include "gui/people/TransferPanel.h"
#include "ui_TransferPanel.h"

#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/RelationshipRows.h"
#include "core/people/Transfers.h"
#include "gui/people/PersonScreen.h"
#include "gui/widgets/BusyCursor.h"
#include "gui/widgets/PanelAnchors.h"
#include "gui/widgets/Prompter.h"

#include <QVBoxLayout>

namespace kx3 {

namespace {

const QString AreYouSure = QStringLiteral("Are you sure?");
const QString TransferCaption = QStringLiteral("Transfer");

} // namespace

TransferPanel::TransferPanel(ScreenContext &context, QWidget *parent)
    : QWidget(parent), mContext(context), mUi(std::make_unique<Ui::TransferPanel>())
{
    mUi->setupUi(this);
    // Long names read whole in a larger window.
    (new PanelAnchors(this))
        ->anchor({"STName", "STNation", "STSecNat", "STCurClub", "STTarClub", "ConfirmTransfer",
                  "FreeTransfer"},
                 {PanelAnchors::Grow, PanelAnchors::Fixed});
    connect(mUi->ConfirmTransfer, &QPushButton::clicked, this,
            &TransferPanel::ConfirmTransferClick);
    connect(mUi->FreeTransfer, &QPushButton::clicked, this, &TransferPanel::FreeTransferClick);
}

TransferPanel::~TransferPanel() = default;

std::optional<int> TransferPanel::person() const
{
    return mScreen ? mScreen->currentRecord() : std::nullopt;
}

// Only a person screen offers a transfer; any other asks for nothing here.
void TransferPanel::start(RecordScreen *screen)
{
    mScreen = qobject_cast<PersonScreen *>(screen);
    if (!mScreen)
        return;
    const std::optional<int> index = person();
    const std::optional<ConstPersonRecord> p =
        index ? kx3::person(std::as_const(mContext.db), *index) : std::nullopt;
    if (!p)
        return;
    const QList<QByteArray> &nations = mContext.lookups.nations();
    auto nationText = [&nations](std::int32_t nation) {
        return fromCp1252(nation < 0 ? nations.value(0) : nations.value(nation + 1));
    };
    mUi->STName->setText(fromCp1252(personListName(mContext.db, *index)));
    mUi->STNation->setText(nationText(p->nationality()));
    mUi->STSecNat->setText(nationText(p->secondNationality()));
    mSource = p->club();
    const bool hasClub = mSource >= 0;
    mUi->STCurClub->setText(hasClub ? fromCp1252(ClubShortName(mContext.db, int(mSource)))
                                    : QString::fromLatin1(TransferText::NoClub));
    mUi->FreeTransfer->setEnabled(hasClub);
    mUi->STTarClub->setText(QString::fromLatin1(TransferText::ChooseTarget));
    mUi->ConfirmTransfer->setText(TransferCaption);
    mUi->ConfirmTransfer->setEnabled(false);
    mTarget = -2;
}

void TransferPanel::chooseTarget(qint64 offset)
{
    const qint64 index = offset / RecordSize::Club;
    if (!checkTransferTarget(mContext.db, int(index)).ok()) {
        mContext.prompter.information(QString::fromLatin1(TransferText::NationalTeam));
        mUi->STTarClub->setText(QString::fromLatin1(TransferText::ChooseTargetAgain));
        mUi->ConfirmTransfer->setText(TransferCaption);
        mUi->ConfirmTransfer->setEnabled(false);
        return;
    }
    mTarget = index;
    const QString caption = fromCp1252(ClubLongName(mContext.db, int(index)));
    mUi->STTarClub->setText(caption);
    mUi->ConfirmTransfer->setText(QStringLiteral("Transfer To ") + caption);
    mUi->ConfirmTransfer->setEnabled(true);
    mUi->ConfirmTransfer->setFocus();
}

void TransferPanel::ConfirmTransferClick()
{
    const std::optional<int> index = person();
    if (!index || mTarget < 0)
        return;
    const EditResult allowed = checkTransfer(mContext.db, *index, int(mTarget));
    if (!allowed.ok()) {
        mContext.prompter.information(allowed.message);
        return;
    }
    // The transfer ends by confirming the person screen: a box it cannot
    // store must stop it before anything moves.
    if (!mScreen->checkBoxes(false)) {
        Q_EMIT personScreenRefused();
        mScreen->checkBoxes();
        return;
    }
    if (!mContext.prompter.question(AreYouSure))
        return;
    EditResult result;
    {
        BusyCursor busy;
        result = transferPerson(mContext.db, *index, int(mTarget));
    }
    if (result.ok()) {
        confirmPersonScreen(mUi->ConfirmTransfer->text());
        return;
    }
    // Nothing moved. The person screen is confirmed all the same.
    mContext.prompter.information(result.message);
    confirmPersonScreen();
}

void TransferPanel::FreeTransferClick()
{
    const std::optional<int> index = person();
    if (!index)
        return;
    if (!mScreen->checkBoxes(false)) {
        Q_EMIT personScreenRefused();
        mScreen->checkBoxes();
        return;
    }
    if (!mContext.prompter.question(AreYouSure))
        return;
    EditResult result;
    {
        BusyCursor busy;
        result = releasePerson(mContext.db, *index);
    }
    if (!result.ok()) {
        mContext.prompter.information(result.message);
        return;
    }
    confirmPersonScreen(mUi->FreeTransfer->text());
}

void TransferPanel::confirmPersonScreen(const QString &action)
{
    // His misc lines are filed under his club: they follow him.
    mScreen->setMiscChanged();
    const std::optional<int> index = person();
    // The move is the screen's own, not a change made behind its back.
    mScreen->adoptRecordBytes();
    mScreen->confirm(action);
    // Should the confirm be refused after all, the move is still one step.
    if (!action.isNull() && index) {
        const RecordRef place = recordRef(mScreen->kind(), index);
        mScreen->takeStep(action, place, place);
    }
    mScreen->showRecord();
    Q_EMIT finished();
}

} // namespace kx3
