#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kx3 {

/// Lets tests make a save fail at a chosen step without a broken disk.
class SaveFaultInjector
{
public:
    virtual ~SaveFaultInjector() = default;
    /// The reason, worded as the operating system would give it, to make
    /// writing the temporary copy of file `index` fail with; empty lets it pass.
    virtual QString failWrite(int index, const QString &target) = 0;
    /// The same for moving file `index` over its original.
    virtual QString failReplace(int index, const QString &target) = 0;
};

/// Replaces a set of files all together or not at all.
///
/// Every file is first written and flushed to a temporary file beside its
/// target. Only when all of them are safely on disk are they moved over the
/// originals, each by an atomic rename, keeping a hard-linked backup of each
/// original until the last rename succeeded so that a failure part-way can
/// put the earlier originals back. A target name therefore always holds
/// either its complete old content or its complete new content.
class AtomicFileSetWriter
{
public:
    struct File
    {
        QString target;
        QByteArray content;
    };

    void add(const QString &target, QByteArray content)
    {
        mFiles.append({target, std::move(content)});
    }
    void setFaultInjector(SaveFaultInjector *injector) { mFaults = injector; }

    /// Returns false when any file could not be written or replaced; then no
    /// target has changed and failedTarget() names the file that failed.
    bool commit();

    QString failedTarget() const { return mFailedTarget; }
    /// The operating system's reason for that failure ("No space left on
    /// device"...); empty after a commit that worked.
    QString errorDetail() const { return mErrorDetail; }

private:
    QList<File> mFiles;
    SaveFaultInjector *mFaults = nullptr;
    QString mFailedTarget;
    QString mErrorDetail;
};

} // namespace kx3
