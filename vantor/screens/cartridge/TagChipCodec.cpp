#include "vantor/screens/cartridge/TagChipCodec.h"

#include <limits>

namespace vantor::cartridge {

QStringList tagChipTexts(const protocol::TagChipImage& image, TagChipFields fields)
{
    QStringList texts;
    texts.reserve(qsizetype(fields.size()));
    for (const protocol::TagChipField& f : fields)
        texts << QString::number(protocol::tagChipFieldValue(image, f));
    return texts;
}

int64_t tagChipNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    // Accumulated as a magnitude in 64 unsigned bits, stopping at the limit
    // of the sign's side.
    const uint64_t limit =
        negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1 : uint64_t(std::numeric_limits<int64_t>::max());
    uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const uint64_t digit = uint64_t(text[i].unicode() - u'0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    return negative ? int64_t(0 - magnitude) : int64_t(magnitude);
}

protocol::TagChipImage tagChipImage(TagChipFields fields, const QStringList& texts)
{
    protocol::TagChipImage image{};
    for (size_t i = 0; i < fields.size(); ++i)
        protocol::setTagChipField(image, fields[i],
                                  qsizetype(i) < texts.size() ? tagChipNumber(texts[qsizetype(i)]) : 0);
    return image;
}

protocol::TagChipImage coveredBytes(const protocol::TagChipImage& image, TagChipFields fields)
{
    protocol::TagChipImage out{};
    for (const protocol::TagChipField& f : fields)
        for (uint32_t b = 0; b < f.width; ++b)
            out[f.offset + b] = image[f.offset + b];
    return out;
}

} // namespace vantor::cartridge
