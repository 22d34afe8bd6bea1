// Writes the starter Vantor.ini and its device files into a sample folder:
//   vantor_sample_gen <sample-folder>
// The settings file is written by CSettingsFile itself, so the sample is
// exactly what the program writes.
#include <cstdio>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "vantor/settings/TestSettingsStore.h"
#include "vantor/settings/tools/SampleSettings.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <sample-folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString iniPath = folder + QStringLiteral("/Vantor.ini");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    {
        // Save only replaces an existing file.
        QFile touch(iniPath);
        if (!touch.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(iniPath));
            return 1;
        }
    }
    CSettingsFile file;
    const QString path = iniPath;
    TestSettingsStore store(file, path);
    FillSampleSettings(store);
    if (!file.Save(iniPath)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(iniPath));
        return 1;
    }
    for (const SampleDeviceFile& f : SampleDeviceFiles()) {
        QString relative = f.devicePath;
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString host = folder + QStringLiteral("/device") + relative;
        QDir().mkpath(QFileInfo(host).absolutePath());
        QFile out(host);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(f.bytes) != f.bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(host));
            return 1;
        }
    }
    std::printf("wrote %s and %zu device files\n", qPrintable(iniPath), SampleDeviceFiles().size());
    return 0;
}
