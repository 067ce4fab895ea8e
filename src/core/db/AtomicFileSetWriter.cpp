#include "AtomicFileSetWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryFile>

#include <xxhash.h>

#include <memory>
#include <optional>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace kx3 {

namespace {

/// Writes `content` under a temporary name beside `target` and flushes it to
/// disk; `temp` names the temporary file once it exists.
Failure writeTemporary(DiskSteps &disk, const QString &target, const QByteArray &content,
                       QString &temp)
{
    const QFileInfo info(target);
    QTemporaryFile tmp(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                       + QStringLiteral(".XXXXXX.kx3new"));
    tmp.setAutoRemove(false);
    if (!tmp.open())
        return tmp.errorString();
    temp = tmp.fileName();
    if (Failure failure = disk.writeFlushed(tmp, content, false))
        return failure;
    // The game's files may have been read-only; the saved file is left
    // writable by its owner and otherwise as permissive as before.
    if (info.exists()
        && !tmp.setPermissions(QFile::permissions(target) | QFile::WriteOwner
                               | QFile::ReadOwner)) {
        return tmp.errorString();
    }
    return std::nullopt;
}

QString uniqueSibling(const QString &target, const char *suffix)
{
    const QFileInfo info(target);
    for (int i = 0;; ++i) {
        const QString name = QStringLiteral("%1/.%2.%3.%4")
                                 .arg(info.absolutePath(), info.fileName())
                                 .arg(i)
                                 .arg(QLatin1String(suffix));
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
            return name;
    }
}

/// The reason an injected fault gives, if the injector makes the step fail.
Failure injected(const QString &reason)
{
    return reason.isEmpty() ? Failure() : Failure(reason);
}

const QString JournalName = QStringLiteral(".kx3save.journal");
// The journal guards against torn and lost writes, not against anyone forging
// a file, so its checksum is chosen for speed: XXH3-64 reads a gigabyte in a
// fraction of the time MD5 took, which was most of a large save's work.
const QByteArray JournalMagic = QByteArrayLiteral("KX3SAVE 2");
// Journals of earlier versions, with MD5 digests: a save they left
// unfinished is still finished or undone after an upgrade.
const QByteArray JournalMagicMd5 = QByteArrayLiteral("KX3SAVE 1");
const QByteArray JournalEnd = QByteArrayLiteral("END");
const QByteArray NoBackup = QByteArrayLiteral("-");

enum class Checksum { Xxh3, Md5 };

/// A checksum as a journal spells it: lower-case hex digits, 16 of XXH3-64, 32 of MD5.
qsizetype checksumDigits(Checksum kind)
{
    return kind == Checksum::Xxh3 ? 16 : 32;
}

QByteArray xxh3Hex(XXH64_hash_t hash)
{
    return QByteArray::number(quint64(hash), 16)
        .rightJustified(checksumDigits(Checksum::Xxh3), '0');
}

QByteArray checksum(const QByteArray &content)
{
    return xxh3Hex(XXH3_64bits(content.constData(), size_t(content.size())));
}

/// One file of a journal: where it goes, where its new content waits, where
/// its old content is kept, and what the new content must be.
struct JournalEntry
{
    QString target;
    QString temp;
    QString backup; ///< empty: the target did not exist
    qint64 size = 0;
    QByteArray checksum;
    Checksum kind = Checksum::Xxh3;
};

bool isChecksum(const QByteArray &text, Checksum kind)
{
    if (text.size() != checksumDigits(kind))
        return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

QByteArray journalText(const QList<JournalEntry> &entries)
{
    QByteArray text = JournalMagic + '\n';
    for (const JournalEntry &e : entries) {
        text += QFileInfo(e.target).fileName().toUtf8() + '\t'
                + QFileInfo(e.temp).fileName().toUtf8() + '\t'
                + (e.backup.isEmpty() ? NoBackup : QFileInfo(e.backup).fileName().toUtf8()) + '\t'
                + QByteArray::number(e.size) + '\t' + e.checksum + '\n';
    }
    return text + JournalEnd + '\n';
}

/// Whether `name` is what a save of ours calls the temporary copy (`kx3new`)
/// or the backup (`kx3old`) of `target`.
bool isSiblingOf(const QByteArray &name, const QByteArray &target, const char *suffix)
{
    const QByteArray prefix = '.' + target + '.';
    const QByteArray end = QByteArray(".") + suffix;
    if (!name.startsWith(prefix) || !name.endsWith(end))
        return false;
    const QByteArray middle = name.mid(prefix.size(), name.size() - prefix.size() - end.size());
    if (middle.isEmpty())
        return false;
    const bool temporary = qstrcmp(suffix, "kx3new") == 0;
    if (temporary && middle.size() != 6)
        return false;
    for (char c : middle) {
        const bool digit = c >= '0' && c <= '9';
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!(digit || (temporary && letter)))
            return false;
    }
    return true;
}

/// The entries of a journal, or why it is not one of ours, whole. Only the
/// files `names` of the folder `dir` may be named, each once, with the
/// temporary and backup names a save gives them: a damaged or forged journal
/// can never move one data file over another, nor reach outside the folder.
std::optional<QList<JournalEntry>> parseJournal(const QString &dir, const QByteArray &text,
                                                const QStringList &names, QString *why)
{
    auto refuse = [why](qsizetype line, const char *reason) {
        *why = QStringLiteral("line %1: %2").arg(line + 1).arg(QLatin1String(reason));
        return std::nullopt;
    };
    QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 3 || !lines.last().isEmpty() || lines.at(lines.size() - 2) != JournalEnd)
        return refuse(lines.size() - 1, "it does not end as a whole journal does");
    Checksum kind = Checksum::Xxh3;
    if (lines.first() == JournalMagicMd5)
        kind = Checksum::Md5;
    else if (lines.first() != JournalMagic)
        return refuse(0, "it is not a save journal of this editor");
    QList<JournalEntry> entries;
    QSet<QString> seen;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const QList<QByteArray> f = lines.at(i).split('\t');
        bool ok = false;
        const qint64 size = f.size() == 5 ? f.at(3).toLongLong(&ok) : 0;
        if (!ok || size < 0 || !isChecksum(f.at(4), kind))
            return refuse(i, "it is not a file entry");
        const QString target = QString::fromUtf8(f.at(0));
        const bool known = names.contains(target, Qt::CaseInsensitive)
                           && target.toUtf8() == f.at(0); // valid UTF-8, as written
        if (!known)
            return refuse(i, "it names a file that is not one of the data files");
        if (seen.contains(target.toLower()))
            return refuse(i, "it names a data file twice");
        seen.insert(target.toLower());
        if (!isSiblingOf(f.at(1), f.at(0), "kx3new")
            || (f.at(2) != NoBackup && !isSiblingOf(f.at(2), f.at(0), "kx3old")))
            return refuse(i, "its temporary or backup file is not named as a save names them");
        const auto path = [&dir](const QByteArray &name) {
            return dir + QLatin1Char('/') + QString::fromUtf8(name);
        };
        entries.append({path(f.at(0)), path(f.at(1)),
                        f.at(2) == NoBackup ? QString() : path(f.at(2)), size, f.at(4), kind});
    }
    return entries;
}

/// Whether `path` is a plain file; a folder, a link or a device in a save's
/// name is nothing a save of ours made.
bool isPlainFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}

/// Whether `path` holds exactly the content a journal entry expects.
bool holdsNewContent(const QString &path, const JournalEntry &e)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || f.size() != e.size || !f.open(QIODevice::ReadOnly))
        return false;
    if (e.kind == Checksum::Md5) {
        QCryptographicHash hash(QCryptographicHash::Md5);
        return hash.addData(&f) && hash.result().toHex() == e.checksum;
    }
    const std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state(XXH3_createState(),
                                                                         &XXH3_freeState);
    if (!state || XXH3_64bits_reset(state.get()) != XXH_OK)
        return false;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = f.read(buffer.data(), buffer.size());
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (XXH3_64bits_update(state.get(), buffer.constData(), size_t(n)) != XXH_OK)
            return false;
    }
    return xxh3Hex(XXH3_64bits_digest(state.get())) == e.checksum;
}

/// Writes a file durably under its final name: a temporary first, flushed,
/// renamed, the folder flushed. The temporary goes again if anything fails.
Failure writeDurably(DiskSteps &disk, const QString &path, const QByteArray &content)
{
    const QString temp = path + QStringLiteral(".kx3new");
    QFile f(temp);
    Failure failure = disk.writeFlushed(f, content);
    f.close();
    if (!failure)
        failure = disk.rename(temp, path);
    if (failure) {
        QFile::remove(temp);
        return failure;
    }
    return disk.syncFolder(QFileInfo(path).absolutePath());
}

/// A file name for the user: the name alone, the folder being said once.
QString shortName(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString nameList(const QStringList &paths)
{
    QStringList names;
    for (const QString &p : paths)
        names.append(shortName(p));
    return names.join(QStringLiteral(", "));
}

} // namespace

QString AtomicFileSetWriter::journalName()
{
    return JournalName;
}

bool AtomicFileSetWriter::commit()
{
    mFailedTarget.clear();
    mErrorDetail.clear();
    DiskSteps disk(mFaults);
    int step = 0;
    auto reach = [this, &step] {
        if (mFaults)
            mFaults->atStep(step);
        ++step;
    };

    QList<JournalEntry> entries;
    auto dropAll = [&entries] {
        for (const JournalEntry &e : entries) {
            if (!e.temp.isEmpty())
                QFile::remove(e.temp);
            if (!e.backup.isEmpty())
                QFile::remove(e.backup);
        }
    };
    auto fail = [this, &dropAll](const QString &target, const QString &reason) {
        mFailedTarget = target;
        mErrorDetail = reason;
        dropAll();
        return false;
    };

    // Stage 1: every new content safely on disk under a temporary name.
    for (int i = 0; i < mFiles.size(); ++i) {
        const File &f = mFiles.at(i);
        reach();
        JournalEntry entry{f.target, {}, {}, f.content.size(), checksum(f.content)};
        Failure failure = injected(mFaults ? mFaults->failWrite(i, f.target) : QString());
        if (!failure)
            failure = writeTemporary(disk, f.target, f.content, entry.temp);
        entries.append(entry);
        if (failure)
            return fail(f.target, *failure);
    }

    // Stage 2: every original kept under a second name.
    for (int i = 0; i < mFiles.size(); ++i) {
        const File &f = mFiles.at(i);
        if (!QFileInfo::exists(f.target))
            continue;
        reach();
        const QString backup = uniqueSibling(f.target, "kx3old");
        // A hard link keeps the original reachable at no cost.
        if (Failure failure = disk.linkOrCopy(f.target, backup, false))
            return fail(f.target, *failure);
        entries[i].backup = backup;
    }
    if (mFiles.isEmpty())
        return true;
    const QString dir = QFileInfo(mFiles.first().target).absolutePath();
    if (Failure failure = disk.syncFolder(dir))
        return fail(dir, *failure);

    // Stage 3: the intent, durably. From here on a crash is finished or
    // undone by the next load.
    reach();
    const QString journal = dir + QLatin1Char('/') + JournalName;
    if (Failure failure = writeDurably(disk, journal, journalText(entries))) {
        // The journal may be on the disk already (only the folder's flush
        // failed): without it the renames below never start, so it goes.
        QFile::remove(journal);
        return fail(journal, *failure);
    }

    // Stage 4: the renames.
    for (int i = 0; i < mFiles.size(); ++i) {
        const File &f = mFiles.at(i);
        reach();
        Failure failure = injected(mFaults ? mFaults->failReplace(i, f.target) : QString());
        if (!failure)
            failure = disk.rename(entries.at(i).temp, f.target);
        if (failure) {
            mFailedTarget = f.target;
            mErrorDetail = *failure;
            // Put back what was already replaced, in reverse. Only when every
            // original is back do the journal and the backups go; otherwise
            // they stay for the next load, which tries again.
            QStringList notBack;
            for (int j = i - 1; j >= 0; --j) {
                const JournalEntry &e = entries.at(j);
                const Failure back =
                    e.backup.isEmpty() ? disk.remove(e.target) : disk.rename(e.backup, e.target);
                if (back)
                    notBack.prepend(e.target);
                else
                    entries[j].backup.clear();
            }
            if (notBack.isEmpty() && !disk.syncFolder(dir) && !disk.remove(journal)
                && !disk.syncFolder(dir)) {
                dropAll();
                return false;
            }
            mErrorDetail =
                notBack.isEmpty()
                    ? QStringLiteral("%1. The files were put back as they were, but the save's "
                                     "journal could not be removed; opening the folder again "
                                     "removes it.")
                          .arg(*failure)
                    : QStringLiteral("%1. The files could not all be put back as they were: "
                                     "%2 still hold the new content. The save's journal and "
                                     "backups are kept; opening the folder again finishes "
                                     "putting them back.")
                          .arg(*failure, nameList(notBack));
            return false;
        }
        entries[i].temp.clear();
    }
    if (Failure failure = disk.syncFolder(dir)) {
        // Every file is renamed, but the renames may not be on the disk: the
        // journal stays so that the next load finishes them.
        mFailedTarget = dir;
        mErrorDetail = *failure;
        return false;
    }

    // Stage 5: done. The backups go while the journal still says the set is
    // whole, then the journal; a crash between leaves a journal the next load
    // finishes without a word of doubt.
    for (const JournalEntry &e : entries) {
        if (e.backup.isEmpty())
            continue;
        reach();
        if (disk.remove(e.backup))
            return true; // saved; the next load removes what is left
    }
    reach();
    if (!disk.syncFolder(dir) && !disk.remove(journal))
        disk.syncFolder(dir);
    return true;
}

namespace {

/// What the journal of `dir` says a recovery must do: nothing without one,
/// Failed when it cannot be read, else the entries and whether the new set
/// is whole (each new content still waiting under its temporary name or
/// already under its own), which rolls the save forward. `stuck` names the
/// targets that hold the new content while their earlier content is gone,
/// so that a roll back is impossible.
struct RecoveryPlan
{
    SaveRecovery outcome = SaveRecovery::None;
    QList<JournalEntry> entries;
    QStringList stuck;
    QStringList newer; ///< targets already holding their new content
    bool renames = false;
};

RecoveryPlan planRecovery(const QString &dir, const QStringList &names, QString *detail)
{
    const QString path = dir + QLatin1Char('/') + JournalName;
    QFile file(path);
    if (!QFileInfo(path).isSymLink() && !file.exists())
        return {};
    auto failed = [&](const QString &why) {
        if (detail)
            *detail = why;
        return RecoveryPlan{SaveRecovery::Failed, {}, {}, {}, false};
    };
    if (!isPlainFile(path))
        return failed(QStringLiteral("The save journal %1 is not a plain file.")
                          .arg(QDir::toNativeSeparators(path)));
    // A journal is a few lines per data file; anything much longer is not one.
    if (file.size() > 64 * 1024)
        return failed(QStringLiteral("The save journal %1 is too large to be one.")
                          .arg(QDir::toNativeSeparators(path)));
    if (!file.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("The save journal %1 cannot be read: %2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
    QString why;
    std::optional<QList<JournalEntry>> entries = parseJournal(dir, file.readAll(), names, &why);
    if (!entries)
        return failed(QStringLiteral("The save journal %1 is damaged (%2).")
                          .arg(QDir::toNativeSeparators(path), why));
    RecoveryPlan plan{SaveRecovery::RolledForward, std::move(*entries), {}, {}, false};
    for (const JournalEntry &e : plan.entries) {
        const bool waiting = isPlainFile(e.temp);
        const bool replaced = !waiting && holdsNewContent(e.target, e);
        if (waiting && !holdsNewContent(e.temp, e))
            plan.outcome = SaveRecovery::RolledBack;
        else if (!waiting && !replaced)
            plan.outcome = SaveRecovery::RolledBack;
        plan.renames = plan.renames || waiting;
        if (replaced) {
            plan.newer.append(e.target);
            if (!e.backup.isEmpty() && !isPlainFile(e.backup))
                plan.stuck.append(e.target);
        }
    }
    if (plan.outcome == SaveRecovery::RolledForward && !plan.renames)
        plan.outcome = SaveRecovery::Cleaned;
    if (plan.outcome == SaveRecovery::RolledBack && !plan.stuck.isEmpty()) {
        QStringList older;
        for (const JournalEntry &e : plan.entries) {
            if (!plan.newer.contains(e.target))
                older.append(e.target);
        }
        failed(QStringLiteral("A save into %1 was interrupted and can be neither finished (a "
                              "new file is damaged or missing) nor undone (the earlier content "
                              "of %2 is gone). Nothing was changed: %3 hold the new content, "
                              "%4 the earlier one. The journal %5 and the save's files are "
                              "kept.")
                   .arg(QDir::toNativeSeparators(dir), nameList(plan.stuck), nameList(plan.newer),
                        older.isEmpty() ? QStringLiteral("none") : nameList(older), JournalName));
        plan.outcome = SaveRecovery::Failed;
    }
    return plan;
}

/// Whether two paths hold the same bytes: one file under two names, or two
/// equal files.
bool sameContent(const QString &a, const QString &b)
{
#ifndef Q_OS_WIN
    struct stat sa = {};
    struct stat sb = {};
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0
        && ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev
        && sa.st_ino == sb.st_ino)
        return true;
#endif
    QFile fa(a);
    QFile fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    while (!fa.atEnd()) {
        if (fa.read(1 << 20) != fb.read(1 << 20))
            return false;
    }
    return true;
}

/// What saves of ours left for the files `names` in `dir` without a journal:
/// temporary copies, backups, the journal's temporary. Each kx3old backup's
/// target, by name as the backup spells it.
struct Leftovers
{
    QStringList files;
    QStringList differing; ///< backups whose content is not their file's
};

Leftovers findLeftovers(const QString &dir, const QStringList &names)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\.(.+)\\.(?:[A-Za-z0-9]{6}\\.kx3new|[0-9]+\\.kx3old)$"));
    Leftovers found;
    const QStringList present = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : present) {
        const QString path = dir + QLatin1Char('/') + name;
        if (name == JournalName + QStringLiteral(".kx3new")) {
            found.files.append(path);
            continue;
        }
        const QRegularExpressionMatch m = pattern.match(name);
        if (!m.hasMatch() || !names.contains(m.captured(1), Qt::CaseInsensitive)
            || !isPlainFile(path))
            continue;
        found.files.append(path);
        if (name.endsWith(QLatin1String(".kx3old"))) {
            QString target;
            for (const QString &n : QDir(dir).entryList(QDir::Files | QDir::Hidden)) {
                if (n.compare(m.captured(1), Qt::CaseInsensitive) == 0)
                    target = dir + QLatin1Char('/') + n;
            }
            if (target.isEmpty() || !sameContent(path, target))
                found.differing.append(path);
        }
    }
    return found;
}

} // namespace

SaveRecovery AtomicFileSetWriter::recoveredView(const QString &dir, const QStringList &names,
                                                QHash<QString, QString> *paths, QString *detail)
{
    const RecoveryPlan plan = planRecovery(dir, names, detail);
    if (plan.outcome == SaveRecovery::Failed)
        return plan.outcome;
    const bool whole =
        plan.outcome == SaveRecovery::RolledForward || plan.outcome == SaveRecovery::Cleaned;
    // The file each target would get, named instead of moved there; an empty
    // path is a file recover() would remove.
    for (const JournalEntry &e : plan.entries) {
        QString from = e.target;
        if (whole && isPlainFile(e.temp))
            from = e.temp;
        else if (!whole && !e.backup.isEmpty() && isPlainFile(e.backup))
            from = e.backup;
        else if (!whole && e.backup.isEmpty() && !isPlainFile(e.temp)
                 && holdsNewContent(e.target, e))
            from.clear();
        paths->insert(QFileInfo(e.target).fileName().toLower(), from);
    }
    if (plan.outcome == SaveRecovery::None) {
        const Leftovers left = findLeftovers(dir, names);
        if (!left.differing.isEmpty()) {
            if (detail)
                *detail = nameList(left.files);
            return SaveRecovery::Kept;
        }
    }
    return plan.outcome;
}

SaveRecovery AtomicFileSetWriter::recover(const QString &dir, const QStringList &names,
                                          QString *detail)
{
    const RecoveryPlan plan = planRecovery(dir, names, detail);
    if (plan.outcome == SaveRecovery::Failed)
        return plan.outcome;
    DiskSteps disk;
    const QString journal = dir + QLatin1Char('/') + JournalName;
    const bool whole =
        plan.outcome == SaveRecovery::RolledForward || plan.outcome == SaveRecovery::Cleaned;
    // Every step is checked; the first that fails stops the recovery with the
    // journal and the backups kept, and the next load tries again from there.
    QStringList done;
    for (const JournalEntry &e : plan.entries) {
        Failure failure;
        if (whole) {
            if (isPlainFile(e.temp))
                failure = disk.rename(e.temp, e.target);
        } else if (isPlainFile(e.temp)) {
            // Never replaced: the target still holds its earlier content.
        } else if (!e.backup.isEmpty()) {
            if (isPlainFile(e.backup))
                failure = disk.rename(e.backup, e.target);
        } else if (holdsNewContent(e.target, e)) {
            failure = disk.remove(e.target); // it did not exist before the save
        }
        if (failure) {
            QStringList rest;
            for (const JournalEntry &other : plan.entries) {
                if (!done.contains(other.target))
                    rest.append(other.target);
            }
            if (detail)
                *detail = QStringLiteral("%1 (%2). %3 %4 now; %5 not yet. The journal and the "
                                         "save's files are kept; opening the folder again "
                                         "tries again.")
                              .arg(*failure, shortName(e.target),
                                   done.isEmpty() ? QStringLiteral("No file is") : nameList(done),
                                   whole ? QStringLiteral("hold the saved content")
                                         : QStringLiteral("hold the earlier content"),
                                   nameList(rest));
            return SaveRecovery::Failed;
        }
        done.append(e.target);
    }
    if (plan.outcome != SaveRecovery::None) {
        Failure failure = disk.syncFolder(dir);
        // The backups (or the new files, when undone) go while the journal is
        // still there, then the journal itself.
        for (const JournalEntry &e : plan.entries) {
            for (const QString &extra : {e.backup, e.temp}) {
                if (!failure && !extra.isEmpty() && isPlainFile(extra))
                    failure = disk.remove(extra);
            }
        }
        if (!failure)
            failure = disk.syncFolder(dir);
        if (!failure)
            failure = disk.remove(journal);
        if (!failure)
            failure = disk.syncFolder(dir);
        if (failure) {
            if (detail)
                *detail = QStringLiteral("The files are whole, but the save's journal or "
                                         "files could not be removed: %1")
                              .arg(*failure);
            return SaveRecovery::Failed;
        }
        return plan.outcome;
    }

    // No journal: what a save left can go only when it cannot be the only
    // copy of anything, which is when every backup still equals its file
    // (the save ended before its first rename). Otherwise the journal was
    // lost part-way and the files say nothing of which set is whole.
    const Leftovers left = findLeftovers(dir, names);
    if (!left.differing.isEmpty()) {
        if (detail)
            *detail = nameList(left.files);
        return SaveRecovery::Kept;
    }
    for (const QString &path : left.files)
        disk.remove(path);
    return SaveRecovery::None;
}

} // namespace kx3
