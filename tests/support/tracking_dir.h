#pragma once
// Tracking against real files: the two planning programs' folders in a scratch folder (MoonSked
// with a trailing separator, WSJT without), and the service that reads them into a strict mock.

#include "settings/settings.h"
#include "support/target_sink_mock.h"
#include "track/ui/tracking_service.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vantora::test {

class TrackingDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        settings.MoonSked = (dir.path() + "/moonsked/").toStdString();
        settings.WSJT = (dir.path() + "/wsjt").toStdString();
        ASSERT_TRUE(QDir(dir.path()).mkpath("moonsked"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("wsjt"));
    }

    QString moonSkedPath() const { return dir.path() + "/moonsked/AZEL.DAT"; }
    QString wsjtPath() const { return dir.path() + "/wsjt/azel.dat"; }

    // A new file in place of whatever was there.
    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile::remove(path);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QTemporaryDir dir;
    Settings settings;
    ::testing::StrictMock<MockTargetSink> sink;
    TrackingService service{settings, sink};
};

}  // namespace vantora::test
