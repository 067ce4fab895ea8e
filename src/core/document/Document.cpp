#include "core/document/Document.h"

#include "core/db/Database.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/RecordCounts.h"
#include "core/layout/StaffAttributes.h"
#include "core/lookup/Lookups.h"

#include <algorithm>
#include <climits>

namespace kx3 {

namespace {

constexpr std::size_t slot(RecordKind kind)
{
    return std::size_t(kind);
}

bool feedsLists(RecordKind kind)
{
    return kind == RecordKind::Nation || kind == RecordKind::City || kind == RecordKind::Stadium
           || kind == RecordKind::Club;
}

} // namespace

RecordRef DocumentChange::follow(RecordRef ref) const
{
    if (isLoad())
        return {ref.kind, -1};
    for (const RecordMove &move : moves)
        ref = move.follow(ref);
    return ref;
}

bool DocumentChange::touchesRecord(RecordRef ref) const
{
    if (isLoad())
        return true;
    const std::size_t k = slot(ref.kind);
    return ref.valid() && touched[k] && ref.index >= first[k] && ref.index <= last[k];
}

bool DocumentChange::touches(RecordRef ref) const
{
    return touchesRecord(ref) || (ref.kind == RecordKind::Person && personDetails);
}

void DocumentChange::touch(RecordKind kind, int from, int to)
{
    const std::size_t k = slot(kind);
    from = std::max(from, 0);
    if (!touched[k]) {
        touched[k] = true;
        first[k] = from;
        last[k] = to;
        return;
    }
    first[k] = std::min(first[k], from);
    last[k] = std::max(last[k], to);
}

QByteArray recordStamp(const Database &db, RecordRef ref)
{
    if (!ref.valid() || ref.index >= recordCount(db, ref.kind))
        return {};
    auto bytes = [](const DataImage &image, qsizetype offset, int size) {
        return image.contains(offset, size) ? image.bytes().mid(offset, size) : QByteArray();
    };
    switch (ref.kind) {
    case RecordKind::Nation:
        return bytes(db.image(DataFile::Nation), qsizetype(ref.index) * RecordSize::Nation,
                     RecordSize::Nation);
    case RecordKind::City:
        return bytes(db.image(DataFile::City), qsizetype(ref.index) * RecordSize::City,
                     RecordSize::City);
    case RecordKind::Stadium:
        return bytes(db.image(DataFile::Stadium), qsizetype(ref.index) * RecordSize::Stadium,
                     RecordSize::Stadium);
    case RecordKind::Club:
        return bytes(db.clubs(), qsizetype(ref.index) * RecordSize::Club, RecordSize::Club);
    case RecordKind::Official:
        return bytes(db.image(DataFile::Officials), qsizetype(ref.index) * RecordSize::Official,
                     RecordSize::Official);
    case RecordKind::Person: {
        const DataImage &staff = db.image(DataFile::Staff);
        QByteArray stamp =
            bytes(staff, qsizetype(ref.index) * RecordSize::Person, RecordSize::Person);
        const std::optional<ConstPersonRecord> p = person(db, ref.index);
        // Which attribute records he has is in his record; what they hold
        // is shown on his screens too.
        if (p) {
            if (const auto s = staffAttributesOf(db, *p))
                stamp += bytes(staff, staffAttributesOffset(db, p->staffAttributes()),
                               RecordSize::StaffAttributes);
            if (const auto a = playerAttributesOf(db, *p))
                stamp += bytes(staff, playerAttributesOffset(db, p->playerAttributes()),
                               RecordSize::PlayerAttributes);
        }
        return stamp;
    }
    case RecordKind::Misc: return {};
    }
    return {};
}

Document::Document(Database &db, Lookups &lookups, QObject *parent)
    : QObject(parent), mDb(db), mLookups(lookups)
{
}

bool Document::commitStep(const QString &label, RecordRef before, RecordRef after)
{
    // The last guard of a read-only session: whatever a control let through
    // is taken back here, before it could ever count as a change.
    if (mDb.isReadOnly()) {
        mDb.rollBackChanges();
        return false;
    }
    const StepInfo info{label, before, after};
    if (!mDb.commitStep(info))
        return false;
    applied(DocumentChange::Cause::Step, info);
    Q_EMIT historyChanged();
    return true;
}

std::optional<StepInfo> Document::undo()
{
    if (mDb.isReadOnly() || !mDb.history().canUndo())
        return std::nullopt;
    // Changes not yet a step become one first, told like any other, so the
    // undo takes back exactly what views were last told of.
    commitStep(QStringLiteral("Changes"));
    const std::optional<StepInfo> step = mDb.undo();
    if (step)
        applied(DocumentChange::Cause::Undo, *step);
    Q_EMIT historyChanged();
    return step;
}

std::optional<StepInfo> Document::redo()
{
    if (mDb.isReadOnly())
        return std::nullopt;
    const std::optional<StepInfo> step = mDb.redo();
    if (step)
        applied(DocumentChange::Cause::Redo, *step);
    Q_EMIT historyChanged();
    return step;
}

void Document::moveTo(int position)
{
    const EditHistory &history = mDb.history();
    while (position < history.position() && undo()) {
    }
    while (position > history.position() && redo()) {
    }
}

void Document::checkLoadedFiles()
{
    mGuard = SaveGuard();
    if (mDb.isLoaded())
        mGuard.takeBaseline(mDb);
    mChecked = true;
}

void Document::loaded()
{
    if (!mChecked)
        checkLoadedFiles();
    mChecked = false;
    mRefused.clear();
    mLoadErrors = mGuard.baselineErrors();
    DocumentChange change;
    change.cause = DocumentChange::Cause::Load;
    change.names = change.lists = true;
    Q_EMIT changed(change);
    Q_EMIT historyChanged();
}

QStringList Document::takeLoadErrors()
{
    return std::exchange(mLoadErrors, {});
}

QStringList Document::newErrors() const
{
    return mGuard.newErrors(mDb);
}

// Runs on a worker while the window paints: it tells nobody, the caller
// says historyChanged() once it is back.
Document::SaveResult Document::save(const Progress &progress)
{
    if (progress)
        progress(QStringLiteral("Checking the tables"), 0, 0);
    mRefused = mGuard.newErrors(mDb);
    if (!mRefused.isEmpty())
        return SaveResult::Refused;
    return mDb.save(progress) ? SaveResult::Saved : SaveResult::Failed;
}

void Document::saveFinished()
{
    Q_EMIT historyChanged();
}

// The history knows every byte range the step changed and every record it
// inserted or removed; that is all a view needs, read off per kind.
void Document::applied(DocumentChange::Cause cause, const StepInfo &step)
{
    const AppliedStep &last = mDb.history().lastApplied();
    DocumentChange c;
    c.cause = cause;
    c.step = step;
    c.moves = last.moves;
    const qsizetype personBytes = qsizetype(mDb.counters().persons) * RecordSize::Person;
    for (const ImageChange &ic : last.images) {
        auto span = [&](RecordKind kind, int size) {
            const int from = int(ic.offset / size);
            const bool sameSize = ic.oldLength == ic.newLength;
            const qsizetype end = ic.offset + std::max<qsizetype>(ic.newLength, 1) - 1;
            c.touch(kind, from, sameSize && end / size < INT_MAX ? int(end / size) : INT_MAX);
        };
        if (ic.image == DataFileCount) {
            span(RecordKind::Club, RecordSize::Club);
            continue;
        }
        switch (DataFile(ic.image)) {
        case DataFile::Nation: span(RecordKind::Nation, RecordSize::Nation); break;
        case DataFile::City: span(RecordKind::City, RecordSize::City); break;
        case DataFile::Stadium: span(RecordKind::Stadium, RecordSize::Stadium); break;
        case DataFile::Officials: span(RecordKind::Official, RecordSize::Official); break;
        case DataFile::Staff:
            // An attribute record names no person: any of them may show it.
            if (ic.offset < personBytes)
                span(RecordKind::Person, RecordSize::Person);
            else
                c.personDetails = true;
            break;
        case DataFile::StaffHistory: c.personDetails = true; break;
        case DataFile::NationCompHistory: c.touch(RecordKind::Nation, 0, INT_MAX); break;
        case DataFile::FirstNames:
        case DataFile::SecondNames:
        case DataFile::CommonNames: c.names = true; break;
        default: break;
        }
    }
    for (const RecordMove &move : c.moves) {
        if (move.count > 0)
            c.touch(move.kind, move.index, move.index + move.count - 1);
    }
    if (last.setupLinesChanged)
        c.touch(RecordKind::Misc, 0, INT_MAX);
    for (int k = 0; k < RecordKindCount; ++k)
        c.lists = c.lists || (c.touched[std::size_t(k)] && feedsLists(RecordKind(k)));
    for (const RecordMove &move : c.moves)
        c.lists = c.lists || feedsLists(move.kind);
    if (c.lists)
        mLookups.build(mDb);
    Q_EMIT changed(c);
}

} // namespace kx3
