#include "PlayerScreen.h"
#include "ui_PlayerScreen.h"

#include "HistoryEditor.h"
#include "core/db/Cp1252.h"
#include "core/fields/FieldTable.h"
#include "core/layout/CodeLists.h"
#include "gui/widgets/BoxHelpers.h"
#include "gui/widgets/PanelAnchors.h"

#include <array>

namespace kx3 {

namespace {

QString text(const QByteArray &bytes)
{
    return fromCp1252(bytes);
}

QByteArray bytes(const QLineEdit *box)
{
    return toCp1252(box->text());
}

} // namespace

PlayerScreen::PlayerScreen(ScreenContext &context, QWidget *parent)
    : PersonScreen(context, RoleScreen::Player, parent), mUi(std::make_unique<Ui::PlayerScreen>())
{
    mUi->setupUi(this);
    // The history and the relationship list take the room of a larger window.
    using A = PanelAnchors;
    auto *anchors = new PanelAnchors(this);
    anchors->anchor({"PC2", "gb9", "HistList", "gb32", "PMiscList"}, {A::Grow, A::Grow});
    anchors->anchor({"gb10", "HAdd", "HDel"}, {A::Move, A::Fixed});
    anchors->anchor({"bgPMisc"}, {A::Grow, A::Move});
    anchors->anchor({"ConfirmPlayer", "bnPMax"}, {A::Fixed, A::Move});
    anchors->anchor({"PTransfer"}, {A::Move, A::Move});
    mHistory = new HistoryEditor(
        {mUi->HistList, mUi->HSea, mUi->HClu, mUi->HApp, mUi->HGoa, mUi->HAdd, mUi->HDel}, this);
    mHistory->setPrompter(&context.prompter);
    for (const QWidget *box : {mUi->HSea, mUi->HClu, mUi->HApp, mUi->HGoa})
        notAnEdit(box);

    QStringList injuries{QString::fromLatin1(MiscNoneText)};
    for (const char *name : InjuryNames)
        injuries.append(QString::fromLatin1(name));
    fillItems(mUi->PreInj, injuries);
    mUi->PreInj->setMaxVisibleItems(20);

    setUp({mUi->FName, mUi->SName, mUi->CName, mUi->PNation, mUi->PSecNation, mUi->PJob,
           mUi->PClass, mUi->PClub, mUi->bnPToClub, mUi->bnPNat, mUi->bnPSecNat, mUi->PMiscList,
           mUi->bgPMisc, mUi->ConfirmPlayer, mUi->bnPMax, mUi->PTransfer, mUi->bnNonPlaying,
           mUi->PC2},
          boxWidgetNames(RecordKind::Person));

    // Every box of the "Miscelaneous" tab and `PIAdjust`: the person's misc
    // lines are rewritten at the next confirm.
    for (const auto &misc : miscTexts())
        connect(misc.first, &QLineEdit::textChanged, this, &PlayerScreen::markMiscChanged);
    connect(mUi->PreInj, &QComboBox::currentIndexChanged, this, &PlayerScreen::markMiscChanged);
    connect(mUi->IntRet, &QCheckBox::toggled, this, &PlayerScreen::markMiscChanged);
    connect(mUi->bnTClub, &QToolButton::clicked, this,
            [this] { Q_EMIT clubPickingRequested(ClubPickField::TClub); });
    connect(mUi->bnLClub, &QToolButton::clicked, this,
            [this] { Q_EMIT clubPickingRequested(ClubPickField::LClub); });
    connect(mUi->bnHClu, &QToolButton::clicked, this,
            [this] { Q_EMIT clubPickingRequested(ClubPickField::HClu); });
}

PlayerScreen::~PlayerScreen() = default;

std::array<std::pair<QLineEdit *, QByteArray PlayerMiscEntries::*>, 15>
PlayerScreen::miscTexts() const
{
    using M = PlayerMiscEntries;
    return {{{mUi->TClub, &M::tClub},
             {mUi->TDate1, &M::tDate1},
             {mUi->TDate2, &M::tDate2},
             {mUi->TDate3, &M::tDate3},
             {mUi->TFee, &M::tFee},
             {mUi->TWage, &M::tWage},
             {mUi->TCLen, &M::tCLen},
             {mUi->LClub, &M::lClub},
             {mUi->LSt1, &M::lSt1},
             {mUi->LSt2, &M::lSt2},
             {mUi->LSt3, &M::lSt3},
             {mUi->LEn1, &M::lEn1},
             {mUi->LEn2, &M::lEn2},
             {mUi->LEn3, &M::lEn3},
             {mUi->PIAdjust, &M::piAdjust}}};
}

void PlayerScreen::showExtra(const PersonEdit &e)
{
    selectQuietly(mUi->PlayIn, e.playsInItem);
    mHistory->load(e.history);
    const PlayerMiscEntries &m = e.playerMisc;
    for (const auto &[box, member] : miscTexts())
        box->setText(text(m.*member));
    selectQuietly(mUi->PreInj, m.preInj);
    mUi->IntRet->setChecked(m.intRet);
}

// The history's boxes edit its rows in place; the rows are what changed.
QStringList PlayerScreen::editState() const
{
    QStringList state = PersonScreen::editState();
    for (const HistoryRow &row : mHistory->rows())
        state << QString::fromLatin1(row.season + '|' + row.club + '|' + row.apps + '|'
                                     + row.goals);
    return state;
}

void PlayerScreen::readExtra(PersonEdit &e) const
{
    e.playsInItem = mUi->PlayIn->currentIndex();
    e.changed.history = mHistory->isChanged();
    if (e.changed.history)
        e.history = mHistory->rows();
    PlayerMiscEntries &m = e.playerMisc;
    for (const auto &[box, member] : miscTexts())
        m.*member = bytes(box);
    m.preInj = mUi->PreInj->currentIndex();
    m.intRet = mUi->IntRet->isChecked();
}

QWidget *PlayerScreen::historyControl() const
{
    return mUi->HistList;
}

void PlayerScreen::confirmed()
{
    mHistory->setChanged(false);
}

void PlayerScreen::setPickedClub(ClubPickField field, const QString &club)
{
    switch (field) {
    case ClubPickField::TClub: mUi->TClub->setText(club); break;
    case ClubPickField::LClub: mUi->LClub->setText(club); break;
    case ClubPickField::HClu: mUi->HClu->setText(club); break;
    }
}

} // namespace kx3
