#include "core/records/SaveGuard.h"

#include "core/records/IntegrityCheck.h"

#include <algorithm>
#include <limits>

namespace kx3 {

namespace {

constexpr int BaselineListed = 50;

/// Every error, however many: a guard that stopped counting at a limit would
/// miss the one a save adds to a set that already had that many.
QStringList allErrors(const Database &db)
{
    IntegrityOptions options;
    options.limit = std::numeric_limits<int>::max();
    return checkIntegrity(db, options);
}

/// `text` with every run of digits made one placeholder.
QString shapeOf(const QString &text)
{
    QString shape;
    shape.reserve(text.size());
    bool inNumber = false;
    for (const QChar c : text) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!digit)
            shape.append(c);
        else if (!inNumber)
            shape.append(QLatin1Char('#'));
        inNumber = digit;
    }
    return shape;
}

} // namespace

void SaveGuard::takeBaseline(const Database &db)
{
    const QStringList errors = allErrors(db);
    mShapes.clear();
    mTextHashes.clear();
    mTextHashes.reserve(std::size_t(errors.size()));
    for (const QString &text : errors) {
        ++mShapes[shapeOf(text)];
        mTextHashes.push_back(qHash(text));
    }
    std::sort(mTextHashes.begin(), mTextHashes.end());
    mBaselineTexts = errors.mid(0, BaselineListed);
    mHasBaseline = true;
}

QStringList SaveGuard::newErrors(const Database &db, int limit) const
{
    const QStringList errors = allErrors(db);
    if (errors.isEmpty())
        return {};
    // An empty answer lets a save go on: a limit never makes one.
    limit = std::max(limit, 1);
    if (!mHasBaseline)
        return errors.mid(0, limit);

    // How many errors of each shape are beyond what the baseline had.
    std::vector<QString> shapes;
    shapes.reserve(std::size_t(errors.size()));
    QHash<QString, int> excess;
    for (const QString &text : errors) {
        shapes.push_back(shapeOf(text));
        ++excess[shapes.back()];
    }
    bool any = false;
    for (auto it = excess.begin(); it != excess.end(); ++it) {
        it.value() -= mShapes.value(it.key());
        any = any || it.value() > 0;
    }
    if (!any)
        return {};

    // Which of a shape's errors are the new ones cannot be known for sure:
    // those whose text the baseline never had go first, in the check's order.
    std::vector<bool> chosen(std::size_t(errors.size()), false);
    for (const bool seenBefore : {false, true}) {
        for (qsizetype i = 0; i < errors.size(); ++i) {
            int &left = excess[shapes[std::size_t(i)]];
            if (left <= 0 || chosen[std::size_t(i)])
                continue;
            const bool known = std::binary_search(mTextHashes.begin(), mTextHashes.end(),
                                                  std::size_t(qHash(errors[i])));
            if (known == seenBefore) {
                chosen[std::size_t(i)] = true;
                --left;
            }
        }
    }
    QStringList texts;
    for (qsizetype i = 0; i < errors.size() && texts.size() < limit; ++i) {
        if (chosen[std::size_t(i)])
            texts.append(errors[i]);
    }
    return texts;
}

} // namespace kx3
