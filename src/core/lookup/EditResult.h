#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace kx3 {

/// The outcome of an edit, a check or an operation on the data: what was
/// written, or why nothing was. Every kind's edits return it, so a caller
/// reports a refusal the same way whichever screen or panel asked.
struct EditResult
{
    /// The record written (the new one when created); empty for a check.
    std::optional<int> record;
    /// The box at fault, as an index into the kind's box list; -1 for none.
    int box = -1;
    /// Why nothing was written; empty on success.
    QString message;

    bool ok() const { return mOk; }

    /// An edit or operation that wrote record `record`.
    static EditResult accepted(int record)
    {
        EditResult r;
        r.record = record;
        r.mOk = true;
        return r;
    }
    /// A check that found nothing to refuse.
    static EditResult passed()
    {
        EditResult r;
        r.mOk = true;
        return r;
    }
    /// Nothing was written, for `message`; `box` is the box at fault.
    static EditResult refused(QString message, int box = -1)
    {
        EditResult r;
        r.box = box;
        r.message = std::move(message);
        return r;
    }

private:
    // Kept apart from the message: a refusal may have an empty text.
    bool mOk = false;
};

} // namespace kx3
