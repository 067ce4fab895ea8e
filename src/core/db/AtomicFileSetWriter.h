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
    /// Return true to make writing the temporary copy of file `index` fail.
    virtual bool failWrite(int index, const QString &target) = 0;
    /// Return true to make moving file `index` over its original fail.
    virtual bool failReplace(int index, const QString &target) = 0;
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
    QString errorDetail() const { return mErrorDetail; }

private:
    QList<File> mFiles;
    SaveFaultInjector *mFaults = nullptr;
    QString mFailedTarget;
    QString mErrorDetail;
};

} // namespace kx3
