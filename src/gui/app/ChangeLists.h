#pragma once

#include "core/changes/DatabaseDiff.h"
#include "gui/screen/RecordKinds.h"

#include <QObject>

#include <optional>

class QWidget;

namespace kx3 {

class Database;
class Document;
class Lookups;
class Prompter;

/// What the session changed, as lists and patches: the Changes dialog, the
/// summary under the save question, and applying a patch as one step.
class ChangeLists : public QObject
{
    Q_OBJECT

public:
    ChangeLists(Database &db, Lookups &lookups, Prompter &prompter, Document &doc,
                QWidget *window);

    /// "Changes": what differs from the files on disk and, once the editor
    /// has kept them, from the original files, in a window-modal dialog.
    void showChanges();
    /// "Save To Disk"'s question, with what the save would change below it
    /// and a button that lists it instead; true when the user said Yes.
    bool confirmSave();
    /// "Apply Patch…": a patch file chosen, checked, shown and, if the user
    /// agrees, applied as one step with no record of its own. True when the
    /// data changed (the look-ups are rebuilt by then).
    bool applyPatchFile();
Q_SIGNALS:
    /// A record of the change list was opened.
    void recordOpened(kx3::RecordKind kind, int index);

private:
    /// The live database against the Data files in `folder`; nothing, with
    /// `error` saying why, when they cannot be read.
    std::optional<DatabaseDiff> diffFrom(const QString &folder, QString *error) const;
    void openDialog(DatabaseDiff unsaved);

    Database &mDb;
    Lookups &mLookups;
    Prompter &mPrompter;
    Document &mDoc;
    QWidget *mWindow;
};

} // namespace kx3
