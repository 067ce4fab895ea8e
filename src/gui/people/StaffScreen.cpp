#include "StaffScreen.h"
#include "ui_StaffScreen.h"

#include "core/db/Cp1252.h"
#include "core/fields/FieldTable.h"
#include "core/layout/CodeLists.h"
#include "gui/widgets/BoxHelpers.h"
#include "gui/widgets/PanelAnchors.h"

#include <array>

namespace kx3 {

StaffScreen::StaffScreen(ScreenContext &context, QWidget *parent)
    : PersonScreen(context, RoleScreen::Staff, parent), mUi(std::make_unique<Ui::StaffScreen>())
{
    mUi->setupUi(this);
    using A = PanelAnchors;
    auto *anchors = new PanelAnchors(this);
    anchors->anchor({"PC3", "gb33", "SMiscList"}, {A::Grow, A::Grow});
    anchors->anchor({"bnSMisc", "l357", "MConf", "SIntRet", "ConfirmStaff", "bnSMax", "STransfer"},
                    {A::Fixed, A::Move});
    fillItems(mUi->SJob2, itemsOf(JobNames));
    fillItems(mUi->SFor, itemsOf(FormationNames));
    setUp({mUi->SFName, mUi->SSName, mUi->SCName, mUi->SNation, mUi->SSecNation, mUi->SJob1,
           mUi->SClass, mUi->SClub, mUi->bnSToClub, mUi->bnSNat, mUi->bnSSecNat, mUi->SMiscList,
           mUi->bnSMisc, mUi->ConfirmStaff, mUi->bnSMax, mUi->STransfer, mUi->bnPlaying, mUi->PC3},
          boxWidgetNames(RecordKind::Person, true));
    mUi->bnSNatTeam->setIcon(mUi->bnSNat->icon());
    connect(mUi->bnSNatTeam, &QToolButton::clicked, this, [this] { goToNation(mUi->SNatTeam); });
    connect(mUi->MConf, &QLineEdit::textChanged, this, &StaffScreen::markMiscChanged);
    connect(mUi->SIntRet, &QCheckBox::toggled, this, &StaffScreen::markMiscChanged);
}

StaffScreen::~StaffScreen() = default;

std::vector<QComboBox *> StaffScreen::nationLists() const
{
    return {mUi->SNation, mUi->SSecNation, mUi->SNatTeam};
}

void StaffScreen::showExtra(const PersonEdit &e)
{
    selectQuietly(mUi->SNatTeam, e.nationalTeamItem);
    selectQuietly(mUi->SJob2, e.nationalJobItem);
    selectQuietly(mUi->SFor, e.formationItem);
    mUi->MConf->setText(fromCp1252(e.staffMisc.mConf));
    mUi->SIntRet->setChecked(e.staffMisc.sIntRet);
}

void StaffScreen::readExtra(PersonEdit &e) const
{
    e.nationalTeamItem = mUi->SNatTeam->currentIndex();
    e.nationalJobItem = mUi->SJob2->currentIndex();
    e.formationItem = mUi->SFor->currentIndex();
    e.staffMisc.mConf = toCp1252(mUi->MConf->text());
    e.staffMisc.sIntRet = mUi->SIntRet->isChecked();
}

} // namespace kx3
