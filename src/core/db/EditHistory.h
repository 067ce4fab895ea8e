#pragma once

#include "RecordRef.h"
#include "StaffCounters.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <map>
#include <optional>
#include <vector>

namespace kx3 {

class DataImage;

/// What the user calls a step and the record it acted on, before it (none
/// for a record it added) and after it (none for a record it removed).
struct StepInfo
{
    QString label;
    RecordRef before;
    RecordRef after;
};

/// One range of one image exchanged with bytes kept aside: applying it puts
/// `bytes` where `length` bytes of the image are and keeps those instead, so
/// applying it again takes the change back. Every kind of change (bytes
/// overwritten, inserted, removed, a whole table rewritten) is one of these.
struct ImageSplice
{
    int image = 0;
    qsizetype offset = 0;
    qsizetype length = 0;
    QByteArray bytes;
};

/// Bytes of one image replaced by a step applied (done, undone or redone):
/// `oldLength` bytes at `offset` became `newLength` bytes.
struct ImageChange
{
    int image = 0;
    qsizetype offset = 0;
    qsizetype oldLength = 0;
    qsizetype newLength = 0;
};

/// What the last step applied changed, in the order it changed it.
struct AppliedStep
{
    std::vector<ImageChange> images;
    std::vector<RecordMove> moves;
    bool setupLinesChanged = false;
};

/// What lives beside the images: the staff table counters and the setup
/// lines. Small, and shared until changed, so a step keeps them whole.
struct SideState
{
    StaffCounters counters;
    QList<QByteArray> setupLines;

    friend bool operator==(const SideState &, const SideState &) = default;
};

/// The history of one editing session: every change to the images recorded
/// as it happens, closed into named steps that can be undone and redone byte
/// for byte, and the step at which the images equal the files last loaded or
/// saved.
///
/// Images report their changes while attached; a change made between two
/// steps is never lost to the history: it belongs to the next step closed.
/// The history keeps what each step changed, never copies of whole images it
/// did not rewrite.
class EditHistory
{
public:
    /// At least this many steps are kept, and no more than this many bytes,
    /// whichever limit comes first; the oldest steps go.
    static constexpr int DefaultStepLimit = 1000;
    static constexpr qint64 DefaultByteLimit = qint64(256) << 20;

    EditHistory() = default;
    EditHistory(const EditHistory &) = delete;
    EditHistory &operator=(const EditHistory &) = delete;

    /// Calls made by DataImage while attached: a change to [offset, offset +
    /// length) is about to happen to `bytes`, the image's content.
    void overwriting(int image, const QByteArray &bytes, qsizetype offset, qsizetype length);
    void inserting(int image, qsizetype offset, qsizetype length);
    void removing(int image, const QByteArray &bytes, qsizetype offset, qsizetype length);
    /// The whole content is about to be replaced, or taken out to be
    /// rewritten and given back: the image is kept whole for this step, and
    /// nothing else it reports in the step needs recording.
    void replacing(int image, const QByteArray &bytes);

    /// Records of a kind were inserted or removed: part of the next step, so
    /// that references can follow it whichever way it is applied.
    void moved(const RecordMove &move)
    {
        if (mSuspended == 0 && move.count != 0)
            mPendingMoves.push_back(move);
    }

    /// Image changes made while suspended are not recorded: applying a step
    /// is not a change of its own. (Anything else changed so is out of the
    /// history's reach: only measurements of what recording costs do it.)
    void suspend() { ++mSuspended; }
    void resume() { --mSuspended; }

    /// Limits of the history; the oldest steps go at once when it is past them.
    void setLimits(int steps, qint64 bytes);

    bool canUndo() const { return mIndex > 0; }
    bool canRedo() const { return mIndex < int(mSteps.size()); }
    /// How many steps can be undone from now.
    int undoCount() const { return mIndex; }
    int redoCount() const { return int(mSteps.size()) - mIndex; }
    /// The step an undo or a redo would take back or do again.
    const StepInfo *undoStep() const
    {
        return canUndo() ? &mSteps[std::size_t(mIndex - 1)].info : nullptr;
    }
    const StepInfo *redoStep() const
    {
        return canRedo() ? &mSteps[std::size_t(mIndex)].info : nullptr;
    }
    /// Bytes the kept steps hold.
    qint64 byteSize() const { return mBytes; }
    /// Every kept step, oldest first; position() of them are done.
    int stepCount() const { return int(mSteps.size()); }
    const StepInfo &stepInfo(int step) const { return mSteps[std::size_t(step)].info; }
    int position() const { return mIndex; }
    /// Steps between now and the files as last loaded or saved; -1 when the
    /// history no longer leads back there.
    int stepsFromClean() const { return mClean < 0 ? -1 : std::abs(mIndex - mClean); }
    /// What the last commit, undo or redo changed.
    const AppliedStep &lastApplied() const { return mLast; }

    /// A number no other step of the session has, of the step an undo would
    /// take back; 0 when there is none.
    quint64 undoStepId() const { return canUndo() ? mSteps[std::size_t(mIndex - 1)].id : 0; }

private:
    friend class Database;

    struct Step
    {
        StepInfo info;
        std::vector<ImageSplice> splices;
        std::optional<SideState> sideBefore;
        std::optional<SideState> sideAfter;
        std::vector<RecordMove> moves;
        qint64 bytes = 0;
        quint64 id = 0;
    };
    /// Ranges overwritten since the last structural change of an image,
    /// each with its bytes as they were before: merged, so a record written
    /// field by field is one range.
    using Ranges = std::map<qsizetype, QByteArray>;

    /// The Database's side of it. Starts an empty history on `images`, whose
    /// content and `side` are now the clean state.
    void reset(std::vector<DataImage *> images, const SideState &side);
    /// Closes the changes recorded since the last step into one; false, and
    /// no step, when they changed no byte (`side`: the side state now).
    bool commit(const SideState &side, const StepInfo &info);
    /// Whether the changes since the last step changed a byte.
    bool pendingChanges(const SideState &side) const;
    std::optional<StepInfo> undo(SideState &side);
    std::optional<StepInfo> redo(SideState &side);
    /// Takes back the changes recorded since the last step; `side` gets the
    /// side state of that step. The steps stay as they are.
    void rollBack(SideState &side);
    void markClean() { mClean = mIndex; }
    bool atClean() const { return mClean == mIndex; }

    bool recording(int image) const
    {
        return mSuspended == 0 && image >= 0 && std::size_t(image) < mImages.size()
               && !mWhole.count(image);
    }
    void flushRanges(int image);
    void flushAllRanges();
    /// Keeps the image as it was before this step (or before its last
    /// structural change) whole: the step may rewrite all of it.
    void keepWhole(int image, QByteArray before);
    /// The whole images kept this step, each turned into the ranges that
    /// differ now.
    void compactWholeImages();
    void clearPending();
    void dropOldest();
    void apply(ImageSplice &splice);
    static qint64 sizeOf(const Step &step);
    /// After an undo or redo of `step`: the side state it leads to (when it
    /// changed it) and the bytes it now holds.
    StepInfo arrived(Step &step, const std::optional<SideState> &sideNow, SideState &side);
    /// mLast for `step` just applied, forwards or (`undone`) backwards.
    void noteApplied(const Step &step, bool undone);

    std::vector<DataImage *> mImages;
    std::map<int, Ranges> mRanges;
    std::vector<ImageSplice> mPending;
    std::vector<RecordMove> mPendingMoves;
    AppliedStep mLast;
    /// Images kept whole this step, and where their splice stands in mPending.
    std::map<int, std::size_t> mWhole;
    int mSuspended = 0;
    SideState mSide;
    std::deque<Step> mSteps;
    int mIndex = 0;
    /// The step count at which the images are as last loaded or saved; -1
    /// when no step leads back there any more.
    int mClean = 0;
    qint64 mBytes = 0;
    quint64 mLastId = 0;
    int mStepLimit = DefaultStepLimit;
    qint64 mByteLimit = DefaultByteLimit;
};

} // namespace kx3
