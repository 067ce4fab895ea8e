#pragma once

#include "gui/screen/RecordScreen.h"

#include <QObject>

#include <array>

namespace kx3 {

class Database;
class Document;
class EditorFrame;

/// The record editors of the editor screen, one per kind, in one table: which
/// one is shown, what the create and delete buttons say for it, and what
/// becomes of a pending "Create" when the user goes elsewhere.
class EditorScreens : public QObject
{
    Q_OBJECT

public:
    /// The current records of `state` follow every step of `doc`.
    EditorScreens(Document &doc, EditorState &state, EditorFrame *frame,
                  QObject *parent = nullptr);

    /// Installs the editor of its record kind; the editor screen takes it.
    void add(RecordScreen *screen);
    /// The editor of `kind`, or null while that kind has none.
    RecordScreen *screen(EditorScreen kind) const { return mScreens[std::size_t(kind)]; }
    /// The editor in front of the editor screen, or null when none is.
    RecordScreen *current() const;
    const std::array<RecordScreen *, EditorScreenCount> &all() const { return mScreens; }

    /// Makes the record at `offset` the current one of its kind and shows it
    /// on its editor; without one (or without the record) no editor is live.
    /// A pending "Create" is dropped.
    void open(EditorScreen kind, qint64 offset);
    /// Opens `ref` on the screen of its kind; a person on `preferred` when
    /// he has its role, else on the screen of the role he has.
    void open(RecordRef ref, EditorScreen preferred);
    /// "Create" on the editor shown.
    void create();
    /// "Delete" on the editor shown.
    void remove();
    /// Ends a pending "Create" without adding anything: the screen that was
    /// filled with defaults shows its real record again, so that no later
    /// confirm can write the defaults over it.
    void abandonNewRecord();
    /// The editor shown drops what its boxes hold and shows its record as
    /// stored (a pending "Create" ends).
    void dropEdits();

Q_SIGNALS:
    /// A step removed the record of the editor in front; it now shows none.
    void currentRecordGone(const QString &name);

private:
    /// Shows `screen` (null: no editable screen at all) with its title and buttons.
    void show(RecordScreen *screen);
    void updateButtons();

    Database &mDb;
    EditorState &mState;
    EditorFrame *mFrame;
    std::array<RecordScreen *, EditorScreenCount> mScreens{};
    /// Stands in the editor screen for a kind that has no editor yet.
    QWidget *mNoScreen;
};

} // namespace kx3
