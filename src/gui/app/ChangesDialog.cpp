#include "ChangesDialog.h"
#include "ui_ChangesDialog.h"

#include "core/changes/ModPatch.h"
#include "core/db/DiskOps.h"
#include "gui/widgets/ChangeListModel.h"
#include "gui/widgets/Prompter.h"
#include "gui/widgets/ResultList.h"

#include <QDir>
#include <QHeaderView>
#include <QTreeView>

#include <algorithm>

namespace kx3 {

const QString PatchFilter = QStringLiteral("Patches (*.json)");

ChangesDialog::ChangesDialog(Prompter &prompter, QWidget *parent)
    : QDialog(parent), mUi(std::make_unique<Ui::ChangesDialog>()), mPrompter(prompter)
{
    mUi->setupUi(this);
    connect(mUi->tabChanges, &QTabWidget::currentChanged, this, &ChangesDialog::tabChangesChange);
    connect(mUi->bnExportPatch, &QPushButton::clicked, this, &ChangesDialog::bnExportPatchClick);
    connect(mUi->bnClose, &QPushButton::clicked, this, &QDialog::reject);
    tabChangesChange();
}

ChangesDialog::~ChangesDialog() = default;

void ChangesDialog::addChanges(const QString &caption, DatabaseDiff diff)
{
    auto *view = new QTreeView;
    view->setObjectName(QStringLiteral("lvChanges"));
    view->setModel(new ChangeListModel(std::move(diff), view));
    setUpRowList(view);
    view->header()->setStretchLastSection(true);
    view->header()->resizeSection(ChangeListModel::RecordColumn, 170);
    view->header()->resizeSection(ChangeListModel::FieldColumn, 130);
    view->header()->resizeSection(ChangeListModel::OldColumn, 180);
    connect(view, &QTreeView::doubleClicked, this, &ChangesDialog::listDoubleClick);
    mUi->tabChanges->addTab(view, caption);
    tabChangesChange();
}

const ChangeListModel *ChangesDialog::currentList() const
{
    const auto *view = qobject_cast<const QTreeView *>(mUi->tabChanges->currentWidget());
    return view ? static_cast<const ChangeListModel *>(view->model()) : nullptr;
}

void ChangesDialog::tabChangesChange()
{
    const ChangeListModel *list = currentList();
    const bool empty = !list || list->diff().isEmpty();
    mUi->lbSummary->setText(empty ? QStringLiteral("Nothing has changed.")
                                  : changeSummary(list->diff()));
    mUi->bnExportPatch->setEnabled(!empty);
}

// A removed record, or what is no record, has nothing to open; the dialog
// closes on the others so that the record is seen, and so that nothing can
// change under the list.
void ChangesDialog::listDoubleClick(const QModelIndex &index)
{
    const ChangeListModel *list = currentList();
    const RecordChange *change = list ? list->recordAt(index.row()) : nullptr;
    if (!change || change->newIndex < 0
        || std::find(AllFormKinds.begin(), AllFormKinds.end(), change->kind) == AllFormKinds.end())
        return;
    const RecordKind kind = change->kind;
    const int record = change->newIndex;
    accept();
    Q_EMIT recordOpened(kind, record);
}

void ChangesDialog::bnExportPatchClick()
{
    const ChangeListModel *list = currentList();
    if (!list)
        return;
    const QString path = mPrompter.chooseFile(true, QStringLiteral("Export Changes"), PatchFilter,
                                              QStringLiteral("json"));
    if (path.isEmpty())
        return;
    if (const Failure failure = saveWholeFile(path, writePatch(list->diff()))) {
        mPrompter.error(
            QStringLiteral("Cannot write %1 (%2)").arg(QDir::toNativeSeparators(path), *failure));
    }
}

} // namespace kx3
