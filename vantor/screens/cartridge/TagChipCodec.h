#pragma once
// One codec for both TagChip images: every field is moved by its row of the
// image's field table (offset, width, signedness, label), never by code of
// its own. Texts are what the dialogs' boxes hold.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>

#include "protocol/TagChipImage.h"

namespace vantor::cartridge {

using TagChipFields = std::span<const protocol::TagChipField>;

// Each field's value as a decimal text, in table order.
QStringList tagChipTexts(const protocol::TagChipImage& image, TagChipFields fields);

// A program box's number: optional blanks and sign, then digits; what
// follows the digits is ignored, no digits give 0, and a number beyond 64
// bits stops at the 64-bit limit (the field keeps its low bytes anyway).
int64_t tagChipNumber(const QString& text);

// The image to program: zeros, then every field's number cut to the field's
// width, least significant byte first. `texts` in table order; missing
// texts count as empty.
protocol::TagChipImage tagChipImage(TagChipFields fields, const QStringList& texts);

// The image with the bytes no field covers set to 0 (what a read followed by
// a program writes back).
protocol::TagChipImage coveredBytes(const protocol::TagChipImage& image, TagChipFields fields);

} // namespace vantor::cartridge
