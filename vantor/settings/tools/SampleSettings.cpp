#include "vantor/settings/tools/SampleSettings.h"

#include <cmath>
#include <cstdint>

#include "vantor/settings/TestSettingsStore.h"

namespace {

const QString kProfiles = QStringLiteral("\\Hard Disk\\Profiles\\");
const QString kResults = QStringLiteral("\\Hard Disk\\Results\\");
const QString kCutFile = QStringLiteral("\\Hard Disk\\CutFiles\\Rectangle.cut");
const QString kImageFile = QStringLiteral("\\Hard Disk\\Images\\TestPattern.bmp");

QString profile(const char* name)
{
    return kProfiles + QLatin1String(name);
}

SpeedSettings speed(int type, int constant, const char* rampUp, int useRampDown, const char* rampDown)
{
    SpeedSettings s;
    s.initialSpeedType = type;
    s.constantSpeed = constant;
    s.rampUpProfile = profile(rampUp);
    s.useRampDown = useRampDown;
    s.rampDownProfile = profile(rampDown);
    return s;
}

template <class T>
T& record(TestSettingsStore& store, int index = T::kIndex)
{
    return *dynamic_cast<T*>(store.Get(index));
}

void common(CTestSettings& r, int pause, int cycle)
{
    r.pause = pause;
    r.cycle = cycle;
    r.cumulativeCycle = 0;
}

QByteArray profileBytes(const std::vector<int>& rates)
{
    QByteArray out;
    for (int r : rates)
        out += QByteArray::number(r) + "\r\n";
    return out;
}

void put16(QByteArray& b, uint16_t v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

void put32(QByteArray& b, uint32_t v)
{
    put16(b, uint16_t(v & 0xFFFF));
    put16(b, uint16_t(v >> 16));
}

// A 1-bit bitmap of the print head's height: a frame, diagonal bars and a
// ladder of squares, so a print shows every dot and the column order.
QByteArray testPatternBitmap()
{
    const int width = 96, height = 1248;
    const int stride = ((width + 31) / 32) * 4;
    const uint32_t dataOffset = 14 + 40 + 8;
    const uint32_t dataSize = uint32_t(stride * height);
    QByteArray b;
    b.append("BM");
    put32(b, dataOffset + dataSize);
    put32(b, 0);
    put32(b, dataOffset);
    put32(b, 40);
    put32(b, uint32_t(width));
    put32(b, uint32_t(height));
    put16(b, 1);
    put16(b, 1);
    put32(b, 0);
    put32(b, dataSize);
    put32(b, 11811); // 300 dpi
    put32(b, 11811);
    put32(b, 2);
    put32(b, 2);
    // A set bit prints a dot: index 1 is black, so the file looks as it prints.
    put32(b, 0x00FFFFFF); // index 0 white
    put32(b, 0x00000000); // index 1 black
    for (int row = 0; row < height; ++row) {
        QByteArray line(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const bool frame = x < 4 || x >= width - 4 || row < 4 || row >= height - 4;
            const bool bar = ((x + row) / 12) % 4 == 0;
            const bool square = x >= 24 && x < 72 && (row / 48) % 2 == 0;
            const bool black = frame || (bar && !square) || (square && (row / 48) % 4 == 0);
            if (black)
                line[x / 8] = char(uchar(line[x / 8]) | (0x80 >> (x % 8)));
        }
        b.append(line);
    }
    return b;
}

} // namespace

std::vector<int> RampRates(int from, int to, int entries)
{
    std::vector<int> out;
    if (entries <= 0)
        return out;
    if (entries == 1)
        return {to};
    const double a = double(from) * from, b = double(to) * to;
    for (int i = 0; i < entries; ++i)
        out.push_back(int(std::lround(std::sqrt(a + (b - a) * i / (entries - 1)))));
    return out;
}

void FillSampleSettings(TestSettingsStore& store)
{
    {
        auto& r = record<CEjectorSettings>(store);
        r.speed = speed(1, 800, "EjectorRampUp.txt", 1, "EjectorRampDown.txt");
        r.totalPulses = 1200;
        r.vref = 180;
        r.stepMode = 2;
        r.postHold = 50;
        r.rev = 1;
        r.forwardUnblocked = 20;
        r.forwardBlocked = 10;
        common(r, 500, 20);
    }
    {
        auto& r = record<CEndCutterSettings>(store);
        r.frequency = 1000;
        r.currentLevel = QStringLiteral("100");
        r.dutyCycle = 80;
        r.constantSpeed = 1000;
        r.totalPulses = 800;
        r.ejectTotalPulses = 1200;
        common(r, 1000, 10);
    }
    {
        auto& r = record<CPrintHeadLiftSettings>(store);
        r.frequency = 1000;
        r.currentLevel = QStringLiteral("71");
        r.dutyCycle = 60;
        r.delay = 50;
        r.testType = 0;
        r.totalPulses = 0;
        common(r, 1000, 10);
    }
    {
        auto& r = record<CPlatenSettings>(store);
        r.speed = speed(1, 1000, "PlatenRampUp.txt", 1, "PlatenRampDown.txt");
        r.direction = 1;
        r.totalPulses = 4000;
        r.vref = 200;
        r.stepMode = 2;
        r.preHold = 20;
        r.postHold = 50;
        r.clutch = 1;
        r.encoderInDetail = 0;
        r.tapeRewind = speed(0, 800, "TapeRewindRampUp.txt", 0, "TapeRewindRampDown.txt");
        r.tapeRewindStepMode = 2;
        common(r, 500, 10);
    }
    {
        auto& r = record<CPlatenLifeSettings>(store);
        r.forward.speed = speed(1, 1000, "PlatenRampUp.txt", 1, "PlatenRampDown.txt");
        r.forward.totalPulses = 4000;
        r.forward.stepMode = 2;
        r.forward.preHold = 20;
        r.forward.postHold = 50;
        r.forward.clutch = 1;
        r.useReversePlaten = 1;
        r.reverse.speed = speed(0, 800, "PlatenRampUp.txt", 0, "PlatenRampDown.txt");
        r.reverse.totalPulses = 2000;
        r.reverse.stepMode = 2;
        r.reverse.preHold = 20;
        r.reverse.postHold = 50;
        r.reverse.clutch = 0;
        r.tapeRewind = speed(0, 800, "TapeRewindRampUp.txt", 0, "TapeRewindRampDown.txt");
        r.tapeRewindReverseTotalPulses = 2000;
        r.tapeRewindStepMode = 2;
        r.multiPass = 2;
        common(r, 1000, 100);
    }
    {
        auto& r = record<CPrintHeadSettings>(store);
        r.initialSpeedType = 0;
        r.constantSpeed = 600;
        r.rampUpProfile = profile("PrintHeadRampUp.txt");
        r.pauseAfterLoading = 500;
        r.unloadInitialSpeedType = 0;
        r.unloadConstantSpeed = 600;
        r.unloadRampUpProfile = profile("PrintHeadRampUp.txt");
        r.vref = 200;
        r.stepMode = 1;
        common(r, 500, 10);
    }
    for (int index : {kTestRibbonDrive, kTestRibbonToPlaten, kTestRibbonAdvance, kTestRibbonTension, kTestPlatenSensor,
                      kTestXYCutter})
        store.Get(index)->cumulativeCycle = 0;
    {
        auto& r = record<CRibbonColorSettings>(store);
        r.speed = speed(0, 400, "RibbonRampUp.txt", 0, "");
        r.speed.rampDownProfile.clear();
        r.totalPulses = 2000;
        r.stepMode = 2;
        r.frequency = 0;
        r.dutyCycle = 0;
        r.currentLevel = QStringLiteral("100");
        r.sensingPerSample = QStringLiteral("4");
        r.samplingDelay = 10;
        r.filePrefix = kResults + QStringLiteral("RibbonColor");
        r.color = QStringLiteral("Black");
        r.panelLength = QStringLiteral("6.0");
        r.lotNumber = QStringLiteral("L0001");
        r.unit = QStringLiteral("1");
        r.run = QStringLiteral("0");
        common(r, 1000, 5);
    }
    {
        auto& r = record<CTapeRewindSettings>(store, kTestTapeRewind);
        r.speed = speed(1, 800, "TapeRewindRampUp.txt", 1, "TapeRewindRampDown.txt");
        r.vref = 200;
        r.totalPulses = 3000;
        r.stepMode = 2;
        r.postHold = 50;
        common(r, 500, 10);
    }
    {
        auto& r = record<CTapeRewindSettings>(store, kTestTapeRollTightness);
        r.speed = speed(0, 600, "TapeRewindRampUp.txt", 0, "TapeRewindRampDown.txt");
        r.totalPulses = 2000;
        r.captureEncoderFrom = 1500;
        r.stepMode = 2;
        r.postHold = 50;
        common(r, 1000, 10);
    }
    {
        auto& r = record<CTapeRewindSettings>(store, kTestTapeOvershoot);
        r.speed = speed(1, 800, "TapeRewindRampUp.txt", 1, "TapeRewindRampDown.txt");
        r.waitToRead = 200;
        r.stepMode = 2;
        r.postHold = 50;
        common(r, 1000, 10);
    }
    {
        auto& r = record<CXYCutterLifeSettings>(store);
        r.crossweb = speed(1, 2000, "CrosswebRampUp.txt", 1, "CrosswebRampDown.txt");
        r.stepMode = 2;
        r.crosswebVref = 180;
        r.forwardBlocked = 40;
        r.forwardUnblocked = 20;
        r.downweb = speed(0, 1200, "DownwebRampUp.txt", 0, "DownwebRampDown.txt");
        r.downwebStepMode = 2;
        r.downwebRunBy = 1;
        r.downwebVref = 180;
        r.cutFile = kCutFile;
        r.tapeRewind = speed(0, 800, "TapeRewindRampUp.txt", 0, "TapeRewindRampDown.txt");
        r.tapeRewindStepMode = 2;
        r.periodInUS = 1000;
        r.currentLevel = QStringLiteral("100");
        r.dutyCycle = 50;
        r.pinchAfterTriggered = 20;
        r.dePinchAfterTriggered = 20;
        r.force = 128;
        common(r, 1000, 10);
    }
    {
        auto& r = record<CFiducialSettings>(store);
        r.colorType = 0;
        r.crosswebOffset = {10, 12, 8};
        r.downwebOffset = {-5, -4, -6};
        r.crossweb = speed(0, 1500, "CrosswebRampUp.txt", 0, "CrosswebRampDown.txt");
        r.stepMode = 2;
        r.totalPulses = 3000;
        r.homeDistance = 200;
        r.downweb = speed(0, 1000, "DownwebRampUp.txt", 0, "DownwebRampDown.txt");
        r.downwebStepMode = 2;
        r.downwebRunType = 0;
        r.downwebTotalPulses = 4000;
        r.downwebMarkDistance = 500;
        r.cutFile = kCutFile;
        common(r, 1000, 5);
    }
    {
        auto& r = record<CPrintSettings>(store);
        r.pass = 0;
        r.size = 0;
        r.pattern = 0;
        r.offset = 0;
        r.filePrefix = kResults + QStringLiteral("Print_");
        r.imageFile = kImageFile;
        r.burnSetting = 100;
        r.delayStart = 0;
        r.printCompliance = 0;
        r.endCut = 1;
        common(r, 2000, 5);
    }
    {
        auto& r = record<CPrintToCutSettings>(store);
        r.printSpeed = 1;
        r.vref = 200;
        r.crosswebOffset = 0;
        r.downwebOffset = 0;
        r.totalBoxes = 4;
        r.boxLength = QStringLiteral("1.5");
        r.filePrefix = kResults + QStringLiteral("PrintToCut_");
        common(r, 2000, 5);
    }
    {
        auto& r = record<CMediaJamSettings>(store);
        r.length = 6;
        r.copies = 3;
        r.endCut = 1;
        common(r, 2000, 5);
    }
    for (int index = 0; index < kTestSettingsSlots; ++index)
        if (CTestSettings* r = store.Get(index))
            r->Save();
}

std::vector<SampleDeviceFile> SampleDeviceFiles()
{
    struct Ramp {
        const char* name;
        int from, to, entries;
    };
    static const Ramp ramps[] = {
        {"PlatenRampUp.txt", 200, 2000, 100},     {"PlatenRampDown.txt", 2000, 200, 100},
        {"TapeRewindRampUp.txt", 300, 1500, 60},  {"TapeRewindRampDown.txt", 1500, 300, 60},
        {"EjectorRampUp.txt", 200, 1200, 40},     {"EjectorRampDown.txt", 1200, 200, 40},
        {"CrosswebRampUp.txt", 500, 3000, 80},    {"CrosswebRampDown.txt", 3000, 500, 80},
        {"DownwebRampUp.txt", 200, 1600, 60},     {"DownwebRampDown.txt", 1600, 200, 60},
        {"RibbonRampUp.txt", 200, 1200, 50},      {"PrintHeadRampUp.txt", 200, 1000, 30},
    };
    std::vector<SampleDeviceFile> files;
    for (const Ramp& r : ramps)
        files.push_back({profile(r.name), profileBytes(RampRates(r.from, r.to, r.entries))});
    files.push_back({kCutFile, QByteArray("; Rectangle 1.000 x 0.500 in, units of 0.001 in\r\n"
                                          "MOVE 0 0\r\n"
                                          "CUT 1000 0\r\n"
                                          "CUT 1000 500\r\n"
                                          "CUT 0 500\r\n"
                                          "CUT 0 0\r\n"
                                          "END\r\n")});
    files.push_back({kImageFile, testPatternBitmap()});
    files.push_back({kResults + QStringLiteral("Readme.txt"),
                     QByteArray("The printer driver writes the files of the print, print-to-cut and\r\n"
                                "ribbon colour tests here (the file name prefixes in Vantor.ini).\r\n")});
    return files;
}
