#include "EditHistory.h"

#include "DataImage.h"

#include <algorithm>
#include <cstring>

namespace kx3 {

namespace {

/// Ranges closer than this are kept as one: a record written field by field
/// costs one range, not one per field.
constexpr qsizetype Gap = 16;
/// Past this many ranges in one image a step keeps the image whole: a pass
/// over a whole table is cheaper to keep as one copy than as many ranges.
constexpr std::size_t MaxRanges = 4096;
constexpr qsizetype MaxRangeBytes = 64 << 10;
/// What a splice costs beside its bytes.
constexpr qint64 SpliceOverhead = qint64(sizeof(ImageSplice)) + 32;

/// The parts of [offset, offset + old.size()) where `now` differs from `old`,
/// as splices that put `old` back; parts closer than Gap are joined.
void appendDifferences(std::vector<ImageSplice> &out, int image, qsizetype offset,
                       const QByteArray &old, const QByteArray &now)
{
    const char *a = old.constData();
    const char *b = now.constData() + offset;
    const qsizetype n = old.size();
    qsizetype i = 0;
    while (i < n) {
        // Whole equal stretches are skipped eight bytes at a time.
        while (i + 8 <= n && std::memcmp(a + i, b + i, 8) == 0)
            i += 8;
        while (i < n && a[i] == b[i])
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        qsizetype end = i + 1;
        qsizetype same = 0;
        for (qsizetype k = end; k < n && same < Gap; ++k) {
            if (a[k] == b[k]) {
                ++same;
            } else {
                same = 0;
                end = k + 1;
            }
        }
        out.push_back({image, offset + start, end - start, old.mid(start, end - start)});
        i = end;
    }
}

} // namespace

void EditHistory::reset(std::vector<DataImage *> images, const SideState &side)
{
    mImages = std::move(images);
    clearPending();
    mSide = side;
    mSteps.clear();
    mIndex = 0;
    mClean = 0;
    mBytes = 0;
    mLast = {};
}

void EditHistory::clearPending()
{
    mRanges.clear();
    mPending.clear();
    mPendingMoves.clear();
    mWhole.clear();
}

void EditHistory::setLimits(int steps, qint64 bytes)
{
    mStepLimit = std::max(1, steps);
    mByteLimit = std::max<qint64>(0, bytes);
    dropOldest();
}

void EditHistory::overwriting(int image, const QByteArray &bytes, qsizetype offset,
                              qsizetype length)
{
    if (length <= 0 || !recording(image))
        return;
    Ranges &ranges = mRanges[image];
    const qsizetype end = offset + length;
    auto it = ranges.upper_bound(offset);
    if (it != ranges.begin()) {
        const auto before = std::prev(it);
        if (before->first + before->second.size() + Gap >= offset)
            it = before;
    }
    // Already kept: the bytes there are not the original ones any more.
    if (it != ranges.end() && it->first <= offset && it->first + it->second.size() >= end)
        return;

    qsizetype lo = offset;
    qsizetype hi = end;
    auto last = it;
    while (last != ranges.end() && last->first <= hi + Gap) {
        lo = std::min(lo, last->first);
        hi = std::max(hi, last->first + last->second.size());
        ++last;
    }
    // Bytes between kept ranges were not written since: they are original.
    QByteArray merged = bytes.mid(lo, hi - lo);
    for (auto k = it; k != last; ++k)
        std::memcpy(merged.data() + (k->first - lo), k->second.constData(),
                    std::size_t(k->second.size()));
    ranges.erase(it, last);
    ranges.emplace(lo, std::move(merged));

    // Many writes, or one range grown large by writes close together (every
    // club's slots renumbered): copying the range again at each write would
    // cost its size each time, keeping the image whole costs it once.
    if (ranges.size() > MaxRanges || hi - lo > MaxRangeBytes) {
        QByteArray original = bytes;
        original.detach();
        for (const auto &[at, old] : ranges)
            std::memcpy(original.data() + at, old.constData(), std::size_t(old.size()));
        mRanges.erase(image);
        keepWhole(image, std::move(original));
    }
}

void EditHistory::inserting(int image, qsizetype offset, qsizetype length)
{
    if (length <= 0 || !recording(image))
        return;
    flushRanges(image);
    // Taken back by removing what is inserted.
    mPending.push_back({image, offset, length, QByteArray()});
}

void EditHistory::removing(int image, const QByteArray &bytes, qsizetype offset, qsizetype length)
{
    if (length <= 0 || !recording(image))
        return;
    flushRanges(image);
    mPending.push_back({image, offset, 0, bytes.mid(offset, length)});
}

void EditHistory::replacing(int image, const QByteArray &bytes)
{
    if (!recording(image))
        return;
    flushRanges(image);
    keepWhole(image, bytes);
}

void EditHistory::keepWhole(int image, QByteArray before)
{
    mWhole[image] = mPending.size();
    // The length is the image's size at the end of the step, set then.
    mPending.push_back({image, 0, 0, std::move(before)});
}

void EditHistory::flushRanges(int image)
{
    const auto found = mRanges.find(image);
    if (found == mRanges.end())
        return;
    const QByteArray &now = mImages[std::size_t(image)]->bytes();
    for (const auto &[offset, old] : found->second)
        appendDifferences(mPending, image, offset, old, now);
    mRanges.erase(found);
}

void EditHistory::flushAllRanges()
{
    while (!mRanges.empty())
        flushRanges(mRanges.begin()->first);
}

void EditHistory::compactWholeImages()
{
    if (mWhole.empty())
        return;
    std::vector<ImageSplice> compacted;
    compacted.reserve(mPending.size());
    for (std::size_t i = 0; i < mPending.size(); ++i) {
        ImageSplice &splice = mPending[i];
        const auto whole = mWhole.find(splice.image);
        if (whole == mWhole.end() || whole->second != i) {
            compacted.push_back(std::move(splice));
            continue;
        }
        const QByteArray &now = mImages[std::size_t(splice.image)]->bytes();
        const QByteArray &old = splice.bytes;
        if (old.size() == now.size()) {
            appendDifferences(compacted, splice.image, 0, old, now);
            continue;
        }
        // A table that grew or shrank: only what lies between the common
        // head and tail is kept.
        const qsizetype shorter = std::min(old.size(), now.size());
        qsizetype head = 0;
        while (head < shorter && old[head] == now[head])
            ++head;
        qsizetype tail = 0;
        while (tail < shorter - head && old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
            ++tail;
        // When little of it stayed in place, the whole table is kept: it
        // costs hardly more, and is put back without moving a byte.
        if ((head + tail) * 8 < old.size())
            compacted.push_back({splice.image, 0, now.size(), old});
        else
            compacted.push_back({splice.image, head, now.size() - head - tail,
                                 old.mid(head, old.size() - head - tail)});
    }
    mPending = std::move(compacted);
    mWhole.clear();
}

bool EditHistory::pendingChanges(const SideState &side) const
{
    if (!(side == mSide))
        return true;
    for (const ImageSplice &splice : mPending) {
        const auto whole = mWhole.find(splice.image);
        if (whole == mWhole.end())
            return true; // a structural change, or a range that differed
        if (splice.bytes != mImages[std::size_t(splice.image)]->bytes())
            return true;
    }
    for (const auto &[image, ranges] : mRanges) {
        const QByteArray &now = mImages[std::size_t(image)]->bytes();
        for (const auto &[offset, old] : ranges) {
            if (std::memcmp(old.constData(), now.constData() + offset, std::size_t(old.size())))
                return true;
        }
    }
    return false;
}

qint64 EditHistory::sizeOf(const Step &step)
{
    qint64 bytes = qint64(sizeof(Step)) + step.info.label.size() * 2;
    for (const ImageSplice &splice : step.splices)
        bytes += splice.bytes.size() + SpliceOverhead;
    for (const std::optional<SideState> *side : {&step.sideBefore, &step.sideAfter}) {
        if (*side) {
            bytes += qint64(sizeof(SideState));
            for (const QByteArray &line : (*side)->setupLines)
                bytes += line.size() + 24;
        }
    }
    return bytes;
}

bool EditHistory::commit(const SideState &side, const StepInfo &info)
{
    flushAllRanges();
    compactWholeImages();
    const bool sideChanged = !(side == mSide);
    if (mPending.empty() && !sideChanged)
        return false;

    Step step;
    step.info = info;
    step.id = ++mLastId;
    step.splices = std::move(mPending);
    step.moves = std::move(mPendingMoves);
    clearPending();
    if (sideChanged) {
        step.sideBefore = mSide;
        step.sideAfter = side;
        mSide = side;
    }
    step.bytes = sizeOf(step);

    // A new step ends every step that was undone.
    while (int(mSteps.size()) > mIndex) {
        mBytes -= mSteps.back().bytes;
        mSteps.pop_back();
    }
    if (mClean > mIndex)
        mClean = -1;
    mBytes += step.bytes;
    mSteps.push_back(std::move(step));
    ++mIndex;
    noteApplied(mSteps.back(), false);
    dropOldest();
    return true;
}

void EditHistory::dropOldest()
{
    while (!mSteps.empty() && mIndex > 0
           && (int(mSteps.size()) > mStepLimit || mBytes > mByteLimit)) {
        // The step just made stays, whatever it costs.
        if (mSteps.size() == 1 && mIndex == 1)
            break;
        mBytes -= mSteps.front().bytes;
        mSteps.pop_front();
        --mIndex;
        mClean = mClean > 0 ? mClean - 1 : -1;
    }
}

void EditHistory::apply(ImageSplice &splice)
{
    DataImage &image = *mImages[std::size_t(splice.image)];
    suspend();
    QByteArray bytes = image.takeBytes();
    if (splice.offset == 0 && splice.length == bytes.size()) {
        std::swap(bytes, splice.bytes);
        splice.length = bytes.size();
    } else {
        QByteArray out = bytes.mid(splice.offset, splice.length);
        if (splice.length == splice.bytes.size())
            std::memcpy(bytes.data() + splice.offset, splice.bytes.constData(),
                        std::size_t(splice.length));
        else
            bytes.replace(splice.offset, splice.length, splice.bytes);
        splice.length = splice.bytes.size();
        splice.bytes = std::move(out);
    }
    image.setBytes(std::move(bytes));
    resume();
}

std::optional<StepInfo> EditHistory::undo(SideState &side)
{
    if (!canUndo())
        return std::nullopt;
    Step &step = mSteps[std::size_t(--mIndex)];
    for (auto it = step.splices.rbegin(); it != step.splices.rend(); ++it)
        apply(*it);
    noteApplied(step, true);
    return arrived(step, step.sideBefore, side);
}

void EditHistory::rollBack(SideState &side)
{
    flushAllRanges();
    compactWholeImages();
    for (auto it = mPending.rbegin(); it != mPending.rend(); ++it)
        apply(*it);
    clearPending();
    side = mSide;
}

std::optional<StepInfo> EditHistory::redo(SideState &side)
{
    if (!canRedo())
        return std::nullopt;
    Step &step = mSteps[std::size_t(mIndex++)];
    for (ImageSplice &splice : step.splices)
        apply(splice);
    noteApplied(step, false);
    return arrived(step, step.sideAfter, side);
}

// Whichever way a splice was applied, it now holds the bytes it took out and
// the length of what it put in; an undo applies them last to first.
void EditHistory::noteApplied(const Step &step, bool undone)
{
    mLast = {};
    mLast.images.reserve(step.splices.size());
    for (const ImageSplice &s : step.splices)
        mLast.images.push_back({s.image, s.offset, s.bytes.size(), s.length});
    mLast.moves = step.moves;
    if (undone) {
        std::reverse(mLast.images.begin(), mLast.images.end());
        std::reverse(mLast.moves.begin(), mLast.moves.end());
        for (RecordMove &move : mLast.moves)
            move = move.inverse();
    }
    if (step.sideBefore && step.sideAfter)
        mLast.setupLinesChanged = step.sideBefore->setupLines != step.sideAfter->setupLines;
}

// The splices now hold the other side's bytes, whose size may differ.
StepInfo EditHistory::arrived(Step &step, const std::optional<SideState> &sideNow, SideState &side)
{
    if (sideNow) {
        side = *sideNow;
        mSide = side;
    }
    mBytes -= step.bytes;
    step.bytes = sizeOf(step);
    mBytes += step.bytes;
    return step.info;
}

} // namespace kx3
