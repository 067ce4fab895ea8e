#include "EditorScreens.h"

#include "EditorFrame.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"

#include <utility>

namespace kx3 {

EditorScreens::EditorScreens(Document &doc, EditorState &state, EditorFrame *frame,
                             QObject *parent)
    : QObject(parent), mDb(doc.db()), mState(state), mFrame(frame), mNoScreen(new QWidget)
{
    // Connected before any screen is added: the current records have
    // followed a step before a screen hears of it.
    connect(&doc, &Document::changed, this,
            [this](const DocumentChange &change) { mState.follow(change); });
    mNoScreen->setObjectName(QStringLiteral("pnNoEditor"));
    mFrame->addEditorPanel(mNoScreen);
}

void EditorScreens::add(RecordScreen *screen)
{
    for (RecordScreen *other : mScreens) {
        if (other) {
            other->screenAdded(screen->kind());
            screen->screenAdded(other->kind());
        }
    }
    mScreens[std::size_t(screen->kind())] = screen;
    mFrame->addEditorPanel(screen);
    // A screen in the background (filled for a later show) must not retitle
    // the one in front.
    connect(screen, &RecordScreen::titleChanged, this, [this, screen](const QString &title) {
        if (current() == screen)
            mFrame->setTitle(title);
    });
    connect(screen, &RecordScreen::recordGone, this, [this, screen](const QString &name) {
        if (current() != screen)
            return;
        show(nullptr);
        mFrame->setTitle(QString());
        Q_EMIT currentRecordGone(name);
    });
    connect(screen, &RecordScreen::buttonsChanged, this, [this, screen] {
        if (current() == screen)
            updateButtons();
    });
}

RecordScreen *EditorScreens::current() const
{
    return qobject_cast<RecordScreen *>(mFrame->currentEditorPanel());
}

void EditorScreens::show(RecordScreen *screen)
{
    mFrame->showEditorPanel(screen ? static_cast<QWidget *>(screen) : mNoScreen);
    if (screen)
        mFrame->setTitle(screen->title());
    updateButtons();
}

// Each screen says what the create and delete buttons do while it is shown
// (they act on the screen in front, so no record kind is kept beside them);
// without one, neither button has anything to act on.
void EditorScreens::updateButtons()
{
    const RecordScreen *screen = current();
    const RecordButton create = screen ? screen->createButton() : RecordButton{};
    const RecordButton remove = screen ? screen->deleteButton() : RecordButton{};
    mFrame->setCreateButton(screen ? create.caption : QStringLiteral("Create"), create.enabled);
    mFrame->setDeleteButton(screen ? remove.caption : QStringLiteral("Delete"), remove.enabled);
}

void EditorScreens::abandonNewRecord()
{
    if (!mState.newRecordMode)
        return;
    mState.newRecordMode = false;
    RecordScreen *screen = current();
    if (screen && !screen->showRecord())
        screen = nullptr;
    show(screen);
}

void EditorScreens::dropEdits()
{
    if (mState.newRecordMode) {
        abandonNewRecord();
    } else if (RecordScreen *screen = current()) {
        if (!screen->showRecord())
            show(nullptr);
    }
}

void EditorScreens::open(EditorScreen kind, qint64 offset)
{
    abandonNewRecord();
    mState.offset(kind) = offset;
    RecordScreen *screen = mScreens[std::size_t(kind)];
    if (screen && screen->showRecord()) {
        show(screen);
    } else {
        // Never leave another kind's editor live under this record's title.
        show(nullptr);
        const std::optional<int> index = recordIndex(kind, offset);
        mFrame->setTitle(index ? fromCp1252(recordKind(kind).name(mDb, *index)) : QString());
    }
}

void EditorScreens::open(RecordRef ref, EditorScreen preferred)
{
    EditorScreen kind = preferred;
    if (recordKind(preferred).record != ref.kind) {
        for (const RecordKindInfo &row : RecordKinds) {
            if (row.record == ref.kind) {
                kind = row.kind;
                break;
            }
        }
    }
    if (ref.kind == RecordKind::Person) {
        const std::optional<ConstPersonRecord> p = person(std::as_const(mDb), ref.index);
        const int c = p ? p->classification() : Classification::Unknown;
        const bool player = Classification::hasPlayerAttributes(c);
        const bool staff = Classification::hasStaffAttributes(c);
        if (kind == EditorScreen::Player && !player && staff)
            kind = EditorScreen::Staff;
        else if (kind == EditorScreen::Staff && !staff && player)
            kind = EditorScreen::Player;
    }
    open(kind, recordOffset(kind, ref.index));
}

void EditorScreens::remove()
{
    if (RecordScreen *screen = current(); screen && !mDb.isReadOnly())
        screen->deleteRecord();
}

void EditorScreens::create()
{
    if (RecordScreen *screen = current()) {
        screen->beginNewRecord();
        updateButtons();
    }
}

} // namespace kx3
