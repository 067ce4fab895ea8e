#pragma once

#include "core/db/DataFiles.h"
#include "core/db/InstallationLookup.h"
#include "gui/app/TMainForm.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <optional>

namespace kx3::test {

/// Registry answers chosen by the test.
class FakeSource : public InstallationSource
{
public:
    std::optional<QString> kx3;
    std::optional<QString> kx9900;
    std::optional<QString> location(Edition edition) const override
    {
        return edition == Edition::Kickora3 ? kx3 : kx9900;
    }
};

/// The smallest database that loads: every file there, all tables empty.
inline void writeEmptyInstallation(const QString &dir)
{
    QVERIFY(QDir().mkpath(dir + QStringLiteral("/Data")));
    for (DataFile file : AllDataFiles) {
        QFile f(dir + QStringLiteral("/Data/") + dataFileName(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (file == DataFile::Index)
            f.write(QByteArray(Toc::MinimumSize, '\0'));
    }
}

} // namespace kx3::test
