#include "MiscEntries.h"

#include "core/db/Database.h"
#include "core/db/SetupLines.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"

namespace kx3 {

namespace {

/// Position of the `n`-th double quote (1-based), or -1.
qsizetype nthQuote(const QByteArray &line, int n)
{
    if (n < 1)
        return -1;
    qsizetype at = -1;
    for (int i = 0; i < n; ++i) {
        at = line.indexOf('"', at + 1);
        if (at < 0)
            return -1;
    }
    return at;
}

/// The text from `start` up to the next blank or the end of the line.
QByteArray valueAt(const QByteArray &line, qsizetype start)
{
    const qsizetype blank = line.indexOf(' ', start);
    return blank < 0 ? line.mid(start) : line.mid(start, blank - start);
}

/// The keyword is read from the line's own first field rather than looked for
/// anywhere in it: a name or club containing "LOAN" or "INJURY" must not make a
/// line of another kind read as one.
bool hasKeyword(const QByteArray &line, const char *keyword)
{
    return miscQuotedField(line, 1) == QByteArray(keyword);
}

bool fieldEquals(const QByteArray &line, int field, const QByteArray &text)
{
    const std::optional<QByteArray> value = miscQuotedField(line, field);
    return value && *value == text;
}

void assignIfPresent(const QList<QByteArray> &values, qsizetype i, QByteArray &target)
{
    if (i < values.size())
        target = values.at(i);
}

QByteArray quoted(const QByteArray &text)
{
    return '"' + text + '"';
}

/// A typed club: the long name of the club of that short name, else the text itself.
QByteArray clubFieldFor(const Database &db, const QList<QByteArray> &clubNames,
                        const QByteArray &typed)
{
    return clubLongNameByShortName(db, clubNames, typed).value_or(typed);
}

bool isSet(const QByteArray &clubText)
{
    return !clubText.isEmpty() && clubText != MiscNoneText;
}

QByteArray clubLongNameAt(const Database &db, qsizetype index)
{
    if (index < 0 || index >= clubTotal(db))
        return {};
    return db.clubs().text(index * RecordSize::Club + ClubField::LongName.offset,
                           ClubField::LongName.capacity);
}

} // namespace

std::optional<QByteArray> miscQuotedField(const QByteArray &line, int field)
{
    if (field < 1)
        return std::nullopt;
    const qsizetype open = nthQuote(line, 2 * field - 1);
    if (open < 0)
        return std::nullopt;
    const qsizetype close = line.indexOf('"', open + 1);
    if (close < 0)
        return std::nullopt;
    return line.mid(open + 1, close - open - 1);
}

QList<QByteArray> miscTailValues(const QByteArray &line)
{
    QList<QByteArray> values;
    const qsizetype close = nthQuote(line, 12);
    if (close < 0)
        return values;
    qsizetype pos = close + 2;
    if (pos > line.size())
        return values;
    for (;;) {
        const qsizetype blank = line.indexOf(' ', pos);
        if (blank < 0) {
            values.append(line.mid(pos));
            return values;
        }
        values.append(line.mid(pos, blank - pos));
        pos = blank + 1;
    }
}

std::optional<QByteArray> miscManagerConfValue(const QByteArray &line)
{
    const qsizetype quote = nthQuote(line, 10);
    if (quote < 0 || quote + 2 > line.size())
        return std::nullopt;
    return valueAt(line, quote + 2);
}

int injuryIndex(const QByteArray &name)
{
    for (std::size_t i = 0; i < InjuryNames.size(); ++i) {
        if (name.compare(InjuryNames[i], Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

int preInjuryItem(const QByteArray &text)
{
    if (text.compare(MiscNoneText, Qt::CaseInsensitive) == 0)
        return 0;
    const int index = injuryIndex(text);
    return index < 0 ? -1 : index + 1;
}

bool MiscEntryMatches(const QByteArray &line, const MiscIdentity &who)
{
    const MiscNames &n = who.names;
    // With whole fields an empty first name can be compared like any other, so a
    // person known by his common name alone finds his lines again; only a person
    // without any name claims nothing, as he would otherwise claim every line.
    if (n.firstName.isEmpty() && n.secondName.isEmpty() && n.commonName.isEmpty())
        return false;
    if (!fieldEquals(line, 2, n.firstName))
        return false;
    if (!n.secondName.isEmpty() && !fieldEquals(line, 4, n.secondName))
        return false;
    if (!n.commonName.isEmpty() && !fieldEquals(line, 3, n.commonName))
        return false;
    if (!who.clubLongName.isEmpty() && !fieldEquals(line, 5, who.clubLongName))
        return false;
    return true;
}

PlayerMiscEntries LoadPlayerMiscEntries(const QList<QByteArray> &lines, const MiscIdentity &who)
{
    PlayerMiscEntries e;
    for (const QByteArray &line : lines) {
        if (!MiscEntryMatches(line, who))
            continue;
        const std::optional<QByteArray> sixth = miscQuotedField(line, 6);
        const QList<QByteArray> values = miscTailValues(line);
        if (hasKeyword(line, MiscKeyword::FutureTransfer) && sixth) {
            e.tClub = *sixth;
            assignIfPresent(values, 0, e.tDate1);
            assignIfPresent(values, 1, e.tDate2);
            assignIfPresent(values, 2, e.tDate3);
            assignIfPresent(values, 3, e.tFee);
            assignIfPresent(values, 4, e.tWage);
            assignIfPresent(values, 5, e.tCLen);
        } else if (hasKeyword(line, MiscKeyword::Loan) && sixth) {
            e.lClub = *sixth;
            assignIfPresent(values, 0, e.lSt1);
            assignIfPresent(values, 1, e.lSt2);
            assignIfPresent(values, 2, e.lSt3);
            assignIfPresent(values, 3, e.lEn1);
            assignIfPresent(values, 4, e.lEn2);
            assignIfPresent(values, 5, e.lEn3);
        } else if (hasKeyword(line, MiscKeyword::Injury) && sixth) {
            e.preInj = preInjuryItem(*sixth);
            assignIfPresent(values, 0, e.piAdjust);
        } else if (hasKeyword(line, MiscKeyword::IntRetirement)) {
            e.intRet = true;
        }
    }
    return e;
}

StaffMiscEntries LoadStaffMiscEntries(const QList<QByteArray> &lines, const MiscIdentity &who)
{
    StaffMiscEntries e;
    for (const QByteArray &line : lines) {
        if (!MiscEntryMatches(line, who))
            continue;
        if (hasKeyword(line, MiscKeyword::ManagerConf)) {
            if (const std::optional<QByteArray> value = miscManagerConfValue(line))
                e.mConf = *value;
        } else if (hasKeyword(line, MiscKeyword::IntRetirement)) {
            e.sIntRet = true;
        }
    }
    return e;
}

int removeMiscEntries(QList<QByteArray> &lines, const MiscIdentity &who)
{
    const qsizetype before = lines.size();
    for (qsizetype i = ProtectedSetupLines; i < lines.size();) {
        if (MiscEntryMatches(lines.at(i), who))
            lines.removeAt(i);
        else
            ++i;
    }
    return int(before - lines.size());
}

QByteArray miscEntryLine(const char *keyword, const MiscIdentity &identity, const QByteArray &tail)
{
    QByteArray line = quoted(keyword);
    line += ' ' + quoted(identity.names.firstName);
    line += ' ' + quoted(identity.names.commonName);
    line += ' ' + quoted(identity.names.secondName);
    line += ' ' + quoted(identity.clubLongName);
    line += tail;
    return line;
}

QList<QByteArray> playerMiscLines(const Database &db, const MiscIdentity &identity,
                                  const PlayerMiscEntries &e, const QList<QByteArray> &clubNames)
{
    QList<QByteArray> lines;
    if (isSet(e.tClub)) {
        const QByteArray tail = ' ' + quoted(clubFieldFor(db, clubNames, e.tClub)) + ' ' + e.tDate1
                                + ' ' + e.tDate2 + ' ' + e.tDate3 + ' ' + e.tFee + ' ' + e.tWage
                                + ' ' + e.tCLen;
        lines.append(miscEntryLine(MiscKeyword::FutureTransfer, identity, tail));
    }
    if (isSet(e.lClub)) {
        const QByteArray tail = ' ' + quoted(clubFieldFor(db, clubNames, e.lClub)) + ' ' + e.lSt1
                                + ' ' + e.lSt2 + ' ' + e.lSt3 + ' ' + e.lEn1 + ' ' + e.lEn2 + ' '
                                + e.lEn3;
        lines.append(miscEntryLine(MiscKeyword::Loan, identity, tail));
    }
    if (e.intRet)
        lines.append(miscEntryLine(MiscKeyword::IntRetirement, identity));
    if (e.preInj >= 1 && std::size_t(e.preInj) <= InjuryNames.size()) {
        QByteArray tail = ' ' + quoted(InjuryNames[std::size_t(e.preInj - 1)]);
        if (e.piAdjust != "0")
            tail += ' ' + e.piAdjust;
        lines.append(miscEntryLine(MiscKeyword::Injury, identity, tail));
    }
    return lines;
}

QList<QByteArray> staffMiscLines(const MiscIdentity &identity, const StaffMiscEntries &e)
{
    QList<QByteArray> lines;
    if (!e.mConf.isEmpty() && e.mConf != "0")
        lines.append(miscEntryLine(MiscKeyword::ManagerConf, identity, ' ' + e.mConf));
    if (e.sIntRet)
        lines.append(miscEntryLine(MiscKeyword::IntRetirement, identity));
    return lines;
}

std::optional<QByteArray> clubLongNameByShortName(const Database &db,
                                                  const QList<QByteArray> &clubNames,
                                                  const QByteArray &shortName)
{
    for (qsizetype i = 0; i < clubNames.size(); ++i) {
        if (clubNames.at(i).compare(shortName, Qt::CaseInsensitive) == 0)
            return clubLongNameAt(db, i);
    }
    return std::nullopt;
}

QByteArray personClubLongName(const Database &db, qsizetype person)
{
    if (person < 0 || person >= personCount(db))
        return {};
    const DataImage &staff = db.image(DataFile::Staff);
    const qsizetype at = personOffset(person) + PersonField::Club.offset;
    const std::optional<std::int32_t> club = staff.tryI32(at);
    return club ? clubLongNameAt(db, *club) : QByteArray();
}

namespace {

/// Replaces the lines of `stored` by `replacement`, which go to the end; when
/// they are the same lines already, the file is left as it is, so a confirm
/// that changed nothing does not reorder it.
void replaceMiscLines(QList<QByteArray> &lines, const MiscIdentity &stored,
                      const QList<QByteArray> &replacement)
{
    QList<QByteArray> current;
    for (qsizetype i = ProtectedSetupLines; i < lines.size(); ++i) {
        if (MiscEntryMatches(lines.at(i), stored))
            current.append(lines.at(i));
    }
    if (current == replacement)
        return;
    removeMiscEntries(lines, stored);
    lines.append(replacement);
    // With no line of his left, a line the game skips may have become the last.
    dropUnreadSetupLines(lines);
}

} // namespace

void SavePlayerMiscEntries(Database &db, qsizetype person, const MiscIdentity &stored,
                           const MiscNames &typed, const PlayerMiscEntries &entries,
                           const QList<QByteArray> &clubNames)
{
    const MiscIdentity written{typed, personClubLongName(db, person)};
    replaceMiscLines(db.setupLines(), stored, playerMiscLines(db, written, entries, clubNames));
}

void SaveStaffMiscEntries(Database &db, qsizetype person, const MiscIdentity &stored,
                          const MiscNames &typed, const StaffMiscEntries &entries)
{
    const MiscIdentity written{typed, personClubLongName(db, person)};
    replaceMiscLines(db.setupLines(), stored, staffMiscLines(written, entries));
}

} // namespace kx3
