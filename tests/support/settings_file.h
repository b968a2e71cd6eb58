#pragma once
// The settings file in a scratch folder, for tests of the real store; and the preference
// values that change nothing, to edit one field at a time.

#include "settings/settings_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vantora::test {

// Defaults of the two tracking folders as a Linux user's first start finds them.
inline const TrackingFolders kFolders{"/home/op/.wine/drive_c/Program Files/MoonSked/",
                                      "/home/op/.local/share/WSJT-X/"};

inline PreferenceValues Unchanged(const Settings& s)
{
    PreferenceValues v;
    v.Znacka = s.Znacka;
    v.Lokator = s.Lokator;
    v.MoonSked = s.MoonSked;
    v.WSJT = s.WSJT;
    v.Language = s.Language;
    v.PresetName = s.PresetName;
    v.PresetAzimuth = s.PresetAzimuth;
    v.PresetElevation = s.PresetElevation;
    return v;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path() const { return m_dir.filePath("Merrow/Vantora.conf"); }
    QString folder() const { return QFileInfo(path()).absolutePath(); }

    void write(const QByteArray& bytes) const
    {
        ASSERT_TRUE(QDir().mkpath(folder()));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray contents() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QStringList folderEntries() const
    {
        return QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
};

}  // namespace vantora::test
