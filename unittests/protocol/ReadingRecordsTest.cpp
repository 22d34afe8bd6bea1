// The records and item tables of the sensor, converter, GPIO, fiducial,
// ribbon colour, print, TagChip and calibration requests: their bytes as
// the driver reads them.
#include <cstring>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "protocol/Calibration.h"
#include "protocol/ConverterItems.h"
#include "protocol/FiducialTestParams.h"
#include "protocol/PrintParams.h"
#include "protocol/RibbonColorParams.h"
#include "protocol/SensorItems.h"
#include "protocol/TagChipImage.h"

using namespace protocol;

namespace {

template <class T>
std::vector<uint8_t> bytesOf(const T& v)
{
    auto p = reinterpret_cast<const uint8_t*>(&v);
    return {p, p + sizeof v};
}

int32_t wordAt(const std::vector<uint8_t>& b, size_t offset)
{
    int32_t w;
    std::memcpy(&w, b.data() + offset, 4);
    return w;
}

float floatAt(const std::vector<uint8_t>& b, size_t offset)
{
    float f;
    std::memcpy(&f, b.data() + offset, 4);
    return f;
}

TEST(ReadingRecords, FiducialRecordCarriesItsConstantWords)
{
    const auto b = bytesOf(FiducialTestParams{});
    EXPECT_EQ(wordAt(b, 0), 2);
    EXPECT_EQ(wordAt(b, 60), 2);
    EXPECT_EQ(wordAt(b, 112), 2);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(wordAt(b, 64 + 4 * size_t(i)), kFiducialMiddleWords[i]) << i;
    for (size_t o : {48u, 52u, 56u, 108u, 160u})
        EXPECT_EQ(wordAt(b, o), 0) << o;
    // Both axis blocks at their reset values.
    for (size_t axis : {4u, 116u}) {
        EXPECT_EQ(wordAt(b, axis + 4), 1);
        EXPECT_EQ(wordAt(b, axis + 36), 3000);
        EXPECT_EQ(b[axis + 40], 255);
    }
    // The tape rewind block: direction 0, step mode 1, word 8 0, speed 1000, VRef 255.
    EXPECT_EQ(wordAt(b, 164), 0);
    EXPECT_EQ(wordAt(b, 168), 1);
    EXPECT_EQ(wordAt(b, 172), 0);
    EXPECT_EQ(wordAt(b, 180), 1000);
    EXPECT_EQ(b[164 + 56], 255);
    // Sample blocks reset to 0, 1, 1, 0, no buffer.
    for (size_t s : {240u, 260u}) {
        EXPECT_EQ(wordAt(b, s), 0);
        EXPECT_EQ(wordAt(b, s + 4), 1);
        EXPECT_EQ(wordAt(b, s + 8), 1);
        EXPECT_EQ(wordAt(b, s + 12), 0);
        EXPECT_EQ(wordAt(b, s + 16), 0);
    }
}

TEST(ReadingRecords, RibbonColorAndPrintRecordsStartAtTheirResetValues)
{
    const auto r = bytesOf(RibbonColorParams{});
    const std::pair<size_t, int32_t> ribbon[] = {{8, 1}, {16, 1000}, {44, 1}, {56, 0}, {60, 1000}, {64, 2}, {96, 0}};
    for (auto [offset, value] : ribbon)
        EXPECT_EQ(wordAt(r, offset), value) << offset;
    EXPECT_EQ(r[32], 255);

    const auto pattern = bytesOf(PrintPatternParams{});
    EXPECT_EQ(floatAt(pattern, 0), 2.0f);
    EXPECT_EQ(wordAt(pattern, 8), 100);
    EXPECT_EQ(wordAt(pattern, 16), 0);
    const auto image = bytesOf(PrintImageParams{});
    EXPECT_EQ(wordAt(image, 4), 2);
    EXPECT_EQ(wordAt(image, 8), 100);
    const auto cut = bytesOf(PrintToCutParams{});
    EXPECT_EQ(wordAt(cut, 0), 3) << "no speed chosen";
    EXPECT_EQ(wordAt(cut, 4), 255);
    EXPECT_EQ(floatAt(cut, 24), 0.0f);
}

TEST(ReadingRecords, SensorItemsAnswerBySize)
{
    const std::pair<uint32_t, uint32_t> sizes[] = {
        {sensorItem::Door, 4},          {sensorItem::EjectorHome, 4},  {sensorItem::DownstreamGap, 4},
        {sensorItem::EncoderLiftHome, 4}, {sensorItem::Thermistor, 8}, {sensorItem::RoomTemp, 8},
        {sensorItem::PrintHeadVoltage, 8}, {sensorItem::ColorSensor, 3}, {sensorItem::FiducialDetector, 3},
        {21, 0},                        {11, 0},                       {97, 0},
    };
    for (auto [item, size] : sizes)
        EXPECT_EQ(sensorReadSize(item), size) << item;
    for (const SensorTableItem& row : kSensorReadTable)
        EXPECT_EQ(sensorReadSize(row.target), row.kind == sensorKind::Analog ? 8u : 4u) << row.target;
    for (uint32_t item : kUserOnOffSensors)
        EXPECT_EQ(sensorReadSize(item), 4u) << item;
}

TEST(ReadingRecords, ConverterItemsAndFullScale)
{
    EXPECT_EQ(adcItem(0), 88u);
    EXPECT_EQ(adcItem(7), 95u);
    EXPECT_EQ(dacItem(0, 0), 64u);
    EXPECT_EQ(dacItem(1, 7), 79u);
    EXPECT_EQ(dacItem(2, 0), emitterItem::Green);
    const std::pair<uint32_t, double> scale[] = {{64, 1.5}, {71, 1.5}, {72, 3.3}, {83, 3.3}, {84, 1.5}, {87, 1.5}, {88, 0.0}};
    for (auto [item, fs] : scale)
        EXPECT_EQ(dacFullScale(item), fs) << item;
    EXPECT_EQ(kEmitterItemByColor[0], 81u);
    EXPECT_EQ(colorBit(2), 4);
}

TEST(ReadingRecords, GpioGroupsFollowTheirRule)
{
    // Row r: first pin 8r, item 37 + r; combo label numbers from the bank's first pin.
    for (size_t r = 0; r < std::size(kGpioGroups); ++r) {
        const GpioGroup& g = kGpioGroups[r];
        EXPECT_EQ(g.firstPin, 8 * r);
        EXPECT_EQ(g.item, 37 + r);
        EXPECT_EQ(gpioGroupOf(g.item), &g);
        if (r < 16)
            EXPECT_EQ(g.bankFirstPin, 32 * (r / 4)) << r;
        else
            EXPECT_EQ(g.bankFirstPin, g.firstPin) << r;
    }
    const GpioGroup& row3 = kGpioGroups[3];
    EXPECT_EQ(std::string(kGpioBankNames[row3.bankName]) + " (P" + std::to_string(row3.firstPin - row3.bankFirstPin + 7) +
                  " - P" + std::to_string(row3.firstPin - row3.bankFirstPin) + ")",
              "CPU B0 (P31 - P24)");
    const std::pair<int, uint8_t> outputs[] = {{5, 0x02}, {6, 0x60}, {7, 0x18}, {12, 0x84}, {13, 0x20},
                                               {14, 0x21}, {23, 0x00}, {24, 0xFF}, {26, 0x00}};
    for (auto [row, mask] : outputs)
        EXPECT_EQ(gpioOutputMask(kGpioGroups[row]), mask) << row;
    EXPECT_EQ(gpioGroupOf(36), nullptr);
    EXPECT_EQ(gpioGroupOf(64), nullptr);
}

TEST(ReadingRecords, TagChipFieldsDecodeAndCut)
{
    TagChipImage image{};
    auto field = [](const auto& table, const char* label) {
        for (const TagChipField& f : table)
            if (std::string(f.label) == label)
                return f;
        ADD_FAILURE() << label;
        return table[0];
    };
    const TagChipField yNumber = field(kTapeTagChipFields, "Y Number:");
    setTagChipField(image, yNumber, 0x01020304);
    EXPECT_EQ(image[3], 4);
    EXPECT_EQ(image[4], 3);
    EXPECT_EQ(image[5], 2);
    EXPECT_EQ(image[6], 1);
    EXPECT_EQ(tagChipFieldValue(image, yNumber), 0x01020304);

    const TagChipField printerClass = field(kTapeTagChipFields, "Printer Class:");
    setTagChipField(image, printerClass, 300);
    EXPECT_EQ(tagChipFieldValue(image, printerClass), 44);

    const TagChipField notch = field(kTapeTagChipFields, "Notch Lable Spacing:");
    setTagChipField(image, notch, -2);
    EXPECT_EQ(image[37], 0xFE);
    EXPECT_EQ(image[38], 0xFF);
    EXPECT_EQ(tagChipFieldValue(image, notch), -2);
    const TagChipField remaining = field(kTapeTagChipFields, "Media Remaining:");
    setTagChipField(image, remaining, 0xFFFFFFFFll);
    EXPECT_EQ(tagChipFieldValue(image, remaining), -1) << "32-bit fields read as signed";

    // Fields never overlap and stay inside the image.
    for (const auto* table : {&kTapeTagChipFields[0], &kRibbonTagChipFields[0]}) {
        const size_t n = table == kTapeTagChipFields ? std::size(kTapeTagChipFields) : std::size(kRibbonTagChipFields);
        std::vector<int> owner(kTagChipImageSize, -1);
        for (size_t i = 0; i < n; ++i)
            for (uint32_t b = 0; b < table[i].width; ++b) {
                ASSERT_LT(table[i].offset + b, kTagChipImageSize) << table[i].label;
                EXPECT_EQ(owner[table[i].offset + b], -1) << table[i].label;
                owner[table[i].offset + b] = int(i);
            }
    }
    const TagChipField sensed = field(kRibbonTagChipFields, "ColorSensedPanel[3]:");
    EXPECT_EQ(sensed.offset, kRibbonColorSensedAt + 9);
    EXPECT_STREQ(sensed.color, "Red:");
}

TEST(ReadingRecords, PebItemsAndCommands)
{
    for (size_t s = 0; s < std::size(kPebCalibrationItems); ++s)
        EXPECT_EQ(kPebCalibrationItems[s].calibrateTarget, kFirstPebCalibrateTarget + s);
    EXPECT_EQ(kPebCalibrationItems[8].saveTarget, 123u);
    EXPECT_EQ(kPebCalibrationItems[9].saveTarget, 136u);
    EXPECT_EQ(kPebCalibrationItems[9].replyWord, -1);
    // Each reply word 0 to 8 belongs to exactly one item.
    int seen[9] = {};
    for (const auto& item : kPebCalibrationItems)
        if (item.replyWord >= 0)
            ++seen[item.replyWord];
    for (int w : seen)
        EXPECT_EQ(w, 1);
    EXPECT_EQ(pebUserWriteCommand(pebItem::UpstreamCenterNotch), 46u);
    EXPECT_EQ(pebUserWriteCommand(pebItem::XYHomeToTapeCenter), 64u);
    EXPECT_EQ(cmd::peb::Calibrate, 45u);
}

} // namespace
