#include "AtomicFileSetWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <xxhash.h>

#include <cstdio>
#include <memory>
#include <optional>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kx3 {

namespace {

/// Why a step of a commit failed, in the operating system's words; nothing
/// when it worked.
using Failure = std::optional<QString>;

/// The operating system's text for the error of the call that just failed,
/// worded as QFile words it.
QString lastSystemError()
{
    return qt_error_string();
}

Failure syncFile(QFile &file)
{
    if (!file.flush())
        return file.errorString();
#ifdef Q_OS_WIN
    if (!FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()))))
        return lastSystemError();
#else
    if (::fsync(file.handle()) != 0)
        return lastSystemError();
#endif
    return std::nullopt;
}

void syncDirectory(const QString &dir)
{
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(dir);
#endif
}

bool replaceFile(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    return MoveFileExW(reinterpret_cast<LPCWSTR>(from.utf16()),
                       reinterpret_cast<LPCWSTR>(to.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

/// Keeps the original reachable under a second name; a hard link costs no
/// copying, a copy serves where links are not possible.
Failure makeBackup(const QString &original, const QString &backup)
{
#ifndef Q_OS_WIN
    if (::link(QFile::encodeName(original).constData(), QFile::encodeName(backup).constData())
        == 0)
        return std::nullopt;
#endif
    QFile file(original);
    if (file.copy(backup))
        return std::nullopt;
    return file.errorString();
}

QString uniqueSibling(const QString &target, const char *suffix)
{
    const QFileInfo info(target);
    for (int i = 0;; ++i) {
        const QString name = QStringLiteral("%1/.%2.%3.%4")
                                 .arg(info.absolutePath(), info.fileName())
                                 .arg(i)
                                 .arg(QLatin1String(suffix));
        if (!QFileInfo::exists(name))
            return name;
    }
}

/// Writes `content` under a temporary name beside `target` and flushes it to
/// disk; `temp` names the temporary file once it exists.
Failure writeTemporary(const QString &target, const QByteArray &content, QString &temp)
{
    const QFileInfo info(target);
    QTemporaryFile tmp(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                       + QStringLiteral(".XXXXXX.kx3new"));
    tmp.setAutoRemove(false);
    if (!tmp.open())
        return tmp.errorString();
    temp = tmp.fileName();
    if (tmp.write(content) != content.size())
        return tmp.errorString();
    if (Failure failure = syncFile(tmp))
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

/// The entries of a journal, or nothing when it is not one of ours, whole.
std::optional<QList<JournalEntry>> parseJournal(const QString &dir, const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 3 || !lines.last().isEmpty() || lines.at(lines.size() - 2) != JournalEnd)
        return std::nullopt;
    Checksum kind = Checksum::Xxh3;
    if (lines.first() == JournalMagicMd5)
        kind = Checksum::Md5;
    else if (lines.first() != JournalMagic)
        return std::nullopt;
    QList<JournalEntry> entries;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const QList<QByteArray> f = lines.at(i).split('\t');
        bool ok = false;
        const qint64 size = f.size() == 5 ? f.at(3).toLongLong(&ok) : 0;
        if (!ok || size < 0 || !isChecksum(f.at(4), kind))
            return std::nullopt;
        // Names only: a journal never reaches outside its folder.
        for (int k = 0; k < 3; ++k) {
            if (f.at(k).contains('/') || f.at(k).contains('\\') || f.at(k).isEmpty())
                return std::nullopt;
        }
        const auto path = [&dir](const QByteArray &name) {
            return dir + QLatin1Char('/') + QString::fromUtf8(name);
        };
        entries.append({path(f.at(0)), path(f.at(1)),
                        f.at(2) == NoBackup ? QString() : path(f.at(2)), size, f.at(4), kind});
    }
    return entries;
}

/// Whether `path` holds exactly the content a journal entry expects.
bool holdsNewContent(const QString &path, const JournalEntry &e)
{
    QFile f(path);
    if (f.size() != e.size || !f.open(QIODevice::ReadOnly))
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
/// renamed, the folder flushed.
Failure writeDurably(const QString &path, const QByteArray &content)
{
    const QString temp = path + QStringLiteral(".kx3new");
    QFile f(temp);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return f.errorString();
    if (f.write(content) != content.size())
        return f.errorString();
    if (Failure failure = syncFile(f))
        return failure;
    f.close();
    if (!replaceFile(temp, path))
        return lastSystemError();
    syncDirectory(QFileInfo(path).absolutePath());
    return std::nullopt;
}

/// Whether `name` is a file a save of ours leaves behind for one of `names`:
/// ".NAME.XXXXXX.kx3new", ".NAME.N.kx3old" or the journal's temporary.
bool isOurLeftover(const QString &name, const QStringList &names)
{
    if (name == JournalName + QStringLiteral(".kx3new"))
        return true;
    static const QRegularExpression pattern(
        QStringLiteral("^\\.(.+)\\.(?:[A-Za-z0-9]{6}\\.kx3new|[0-9]+\\.kx3old)$"));
    const QRegularExpressionMatch m = pattern.match(name);
    return m.hasMatch() && names.contains(m.captured(1), Qt::CaseInsensitive);
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
    auto fail = [this, &dropAll](const File &f, const QString &reason) {
        mFailedTarget = f.target;
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
            failure = writeTemporary(f.target, f.content, entry.temp);
        entries.append(entry);
        if (failure)
            return fail(f, *failure);
    }

    // Stage 2: every original kept under a second name.
    for (int i = 0; i < mFiles.size(); ++i) {
        const File &f = mFiles.at(i);
        if (!QFileInfo::exists(f.target))
            continue;
        reach();
        const QString backup = uniqueSibling(f.target, "kx3old");
        if (Failure failure = makeBackup(f.target, backup))
            return fail(f, *failure);
        entries[i].backup = backup;
    }
    if (mFiles.isEmpty())
        return true;
    const QString dir = QFileInfo(mFiles.first().target).absolutePath();
    syncDirectory(dir);

    // Stage 3: the intent, durably. From here on a crash is finished or
    // undone by the next load.
    reach();
    const QString journal = dir + QLatin1Char('/') + JournalName;
    if (Failure failure = writeDurably(journal, journalText(entries)))
        return fail(mFiles.first(), *failure);

    // Stage 4: the renames.
    for (int i = 0; i < mFiles.size(); ++i) {
        const File &f = mFiles.at(i);
        reach();
        Failure failure = injected(mFaults ? mFaults->failReplace(i, f.target) : QString());
        if (!failure && !replaceFile(entries.at(i).temp, f.target))
            failure = lastSystemError();
        if (failure) {
            // Put back what was already replaced, then forget the journal.
            for (int j = i - 1; j >= 0; --j) {
                if (!entries.at(j).backup.isEmpty())
                    replaceFile(entries.at(j).backup, entries.at(j).target);
                else
                    QFile::remove(entries.at(j).target);
            }
            syncDirectory(dir);
            QFile::remove(journal);
            syncDirectory(dir);
            return fail(f, *failure);
        }
        entries[i].temp.clear();
    }
    syncDirectory(dir);

    // Stage 5: done; the journal goes first, the backups after it.
    reach();
    QFile::remove(journal);
    syncDirectory(dir);
    for (const JournalEntry &e : entries) {
        if (e.backup.isEmpty())
            continue;
        reach();
        QFile::remove(e.backup);
    }
    return true;
}

namespace {

/// What the journal of `dir` says a recovery must do: nothing without one,
/// Failed when it cannot be read, else the entries and whether the new set
/// is whole (each new content still waiting under its temporary name or
/// already under its own), which rolls the save forward.
struct RecoveryPlan
{
    SaveRecovery outcome = SaveRecovery::None;
    QList<JournalEntry> entries;
};

RecoveryPlan planRecovery(const QString &dir, QString *detail)
{
    QFile file(dir + QLatin1Char('/') + JournalName);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        if (detail)
            *detail = file.errorString();
        return {SaveRecovery::Failed, {}};
    }
    std::optional<QList<JournalEntry>> entries = parseJournal(dir, file.readAll());
    if (!entries) {
        if (detail)
            *detail = QStringLiteral("The save journal is damaged.");
        return {SaveRecovery::Failed, {}};
    }
    bool whole = true;
    for (const JournalEntry &e : *entries) {
        whole = whole
                && (QFileInfo::exists(e.temp) ? holdsNewContent(e.temp, e)
                                              : holdsNewContent(e.target, e));
    }
    return {whole ? SaveRecovery::RolledForward : SaveRecovery::RolledBack, std::move(*entries)};
}

} // namespace

SaveRecovery AtomicFileSetWriter::recoveredView(const QString &dir, QHash<QString, QString> *paths,
                                                QString *detail)
{
    const RecoveryPlan plan = planRecovery(dir, detail);
    const bool whole = plan.outcome == SaveRecovery::RolledForward;
    // The file each target would get, named instead of moved there; an empty
    // path is a file recover() would remove.
    for (const JournalEntry &e : plan.entries) {
        QString from = e.target;
        if (whole && QFileInfo::exists(e.temp))
            from = e.temp;
        else if (!whole && !e.backup.isEmpty() && QFileInfo::exists(e.backup))
            from = e.backup;
        else if (!whole && e.backup.isEmpty() && holdsNewContent(e.target, e))
            from.clear();
        paths->insert(QFileInfo(e.target).fileName().toLower(), from);
    }
    return plan.outcome;
}

SaveRecovery AtomicFileSetWriter::recover(const QString &dir, const QStringList &names,
                                          QString *detail)
{
    const RecoveryPlan plan = planRecovery(dir, detail);
    if (plan.outcome == SaveRecovery::Failed)
        return plan.outcome;
    const bool whole = plan.outcome == SaveRecovery::RolledForward;
    for (const JournalEntry &e : plan.entries) {
        bool ok = true;
        if (whole) {
            if (QFileInfo::exists(e.temp))
                ok = replaceFile(e.temp, e.target);
        } else if (!e.backup.isEmpty()) {
            ok = !QFileInfo::exists(e.backup) || replaceFile(e.backup, e.target);
        } else if (holdsNewContent(e.target, e)) {
            ok = QFile::remove(e.target); // it did not exist before the save
        }
        if (!ok) {
            if (detail)
                *detail = lastSystemError();
            return SaveRecovery::Failed;
        }
    }
    if (plan.outcome != SaveRecovery::None) {
        syncDirectory(dir);
        QFile::remove(dir + QLatin1Char('/') + JournalName);
        syncDirectory(dir);
    }

    const QStringList present = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : present) {
        if (isOurLeftover(name, names))
            QFile::remove(dir + QLatin1Char('/') + name);
    }
    return plan.outcome;
}

} // namespace kx3
