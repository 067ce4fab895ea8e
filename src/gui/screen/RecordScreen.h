#pragma once

#include "gui/screen/EditorState.h"
#include "gui/screen/PickTargets.h"

#include <QString>
#include <QWidget>

#include <vector>

namespace kx3 {

class Database;
class Lookups;
class Prompter;

/// What every record screen works on. The main window owns it and deletes its
/// screens before it, so a screen can never outlive what it refers to.
struct ScreenContext
{
    Database &db;
    Lookups &lookups;
    EditorState &state;
    Prompter &prompter;
};

/// Caption, state and record kind of the editor's create or delete button
/// while a screen is shown.
struct RecordButton
{
    QString caption;
    bool enabled = false;
    RecordKind kind = RecordKind::Club;
};

/// The contract of every record editor inside the editor screen: the main
/// window shows a record on it, creates through it and listens to it, and
/// knows nothing else about it.
///
/// A screen writes only the record whose data it shows: after a show, the
/// record at the state's offset of its kind; in new-record mode, a new one.
class RecordScreen : public QWidget
{
    Q_OBJECT

public:
    explicit RecordScreen(ScreenContext &context, QWidget *parent = nullptr)
        : QWidget(parent), mContext(context)
    {
    }

    /// The record kind this screen edits.
    virtual EditorScreen kind() const = 0;
    /// Fills the screen from the current record of its kind and leaves
    /// new-record mode; false, with the screen unchanged, when that record
    /// does not exist.
    virtual bool showRecord() = 0;
    /// Writes the screen into the record it shows, or adds a record in
    /// new-record mode; false, with nothing written, when refused.
    virtual bool confirm() = 0;
    /// "Create": fills the screen with a new record's defaults and enters
    /// new-record mode. Kinds that cannot be created do nothing.
    virtual void beginNewRecord() {}
    /// "Delete" on the record shown. Kinds that cannot be deleted do nothing.
    virtual void deleteRecord() {}
    virtual RecordButton createButton() const = 0;
    virtual RecordButton deleteButton() const = 0;
    /// What the editor's title bar shows for the screen's record.
    virtual QString title() const = 0;

    /// Records of `kind` can now be shown: go-to buttons that open them may
    /// be offered.
    virtual void screenAdded(EditorScreen kind) { Q_UNUSED(kind) }
    /// A relationship slot of `source` was written from the misc-list dialog.
    virtual void relationshipsChanged(MiscListSource source) { Q_UNUSED(source) }
    /// Club picking chose `text` for one of the screen's club boxes.
    virtual void setPickedClub(ClubPickField field, const QString &text)
    {
        Q_UNUSED(field)
        Q_UNUSED(text)
    }

Q_SIGNALS:
    void titleChanged(const QString &title);
    /// The create or delete button's caption or state changed.
    void buttonsChanged();
    /// Show record `offset` of `kind` (a go-to button, another role).
    void recordRequested(kx3::EditorScreen kind, qint64 offset);
    void transferRequested();
    /// The record shown was deleted; `message` tells the user so.
    void recordDeleted(const QString &message);
    /// A confirm or a rule changed the images.
    void dataModified();
    void miscListDialogRequested(kx3::MiscListSource source, int row);
    void clubPickingRequested(kx3::ClubPickField field);
    /// The search results may list a person under a role he no longer has.
    void searchResultsStale();

protected:
    /// Tells why a confirm was refused: an error box with the focus on `box`
    /// (its tab brought up) when the refusal names a box, else a plain message.
    void showRefusal(QWidget *box, const QString &message);

    /// The box at `index` of a screen's box list; null for an index outside it
    /// (a refusal that names no box).
    template <typename Box>
    static QWidget *boxAt(const std::vector<Box *> &boxes, int index)
    {
        return index >= 0 && std::size_t(index) < boxes.size() ? boxes[std::size_t(index)]
                                                               : nullptr;
    }

    ScreenContext &mContext;
};

} // namespace kx3
