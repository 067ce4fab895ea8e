#pragma once

#include "core/changes/DatabaseDiff.h"

#include <QDialog>

#include <memory>

class QModelIndex;

namespace Ui {
class ChangesDialog;
}

namespace kx3 {

class ChangeListModel;
class Prompter;

/// The files a patch is kept in, for a file dialog.
extern const QString PatchFilter;

/// The change lists of the session, one tab each, with the patch of the tab
/// shown for export. A row of a record that exists opens it in the window.
class ChangesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ChangesDialog(Prompter &prompter, QWidget *parent = nullptr);
    ~ChangesDialog() override;

    /// Adds a tab captioned `caption` that lists `diff`.
    void addChanges(const QString &caption, DatabaseDiff diff);

Q_SIGNALS:
    /// A row of record `index` of `kind` (in the database as it is now) was
    /// double-clicked; the dialog closes.
    void recordOpened(kx3::RecordKind kind, int index);

private:
    const ChangeListModel *currentList() const;
    void tabChangesChange();
    void listDoubleClick(const QModelIndex &index);
    void bnExportPatchClick();

    std::unique_ptr<Ui::ChangesDialog> mUi;
    Prompter &mPrompter;
};

} // namespace kx3
