#include "IniCheck.h"

#include "vantor/settings/CSettingsFile.h"
#include "vantor/settings/TestSettingsStore.h"

namespace randomop {

IniImage parseImage(const QByteArray& bytes)
{
    // Decode skips the image's first character (its CR): the LF stays.
    QString text = CSettingsFile::Decode(bytes).value_or(QString());
    if (text.startsWith(u'\n'))
        text.remove(0, 1);
    IniImage image;
    QString section;
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.sliced(1, line.size() - 2);
            image[section];
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1String(" = "));
        if (eq > 0)
            image[section][line.first(eq)] = line.sliced(eq + 3);
    }
    return image;
}

IniImage loadImage(const QString& path)
{
    CSettingsFile file;
    return file.Load(path) ? parseImage(file.Serialize()) : IniImage();
}

QStringList checkSettingsFile(const QString& path, const IniImage& starter)
{
    CSettingsFile file;
    if (!file.Load(path))
        return {QStringLiteral("%1 does not load").arg(path)};
    const IniImage before = parseImage(file.Serialize());
    {
        TestSettingsStore store(file, path);
        for (int index = 0; index < kTestSettingsSlots; ++index)
            if (CTestSettings* record = store.Fetch(index))
                record->Save();
    }
    const IniImage after = parseImage(file.Serialize());
    QStringList problems;
    for (const auto& [section, keys] : before) {
        const auto s = after.find(section);
        for (const auto& [key, value] : keys) {
            if (s == after.end() || !s->second.count(key))
                continue;
            const QString& again = s->second.at(key);
            const auto st = starter.find(section);
            const bool users = st != starter.end() && st->second.count(key) && st->second.at(key) == value;
            if (again != value && !users)
                problems << QStringLiteral("[%1] %2 = \"%3\", which no screen writes (read back as \"%4\")")
                                .arg(section, key, value.left(60), again.left(60));
        }
    }
    return problems;
}

} // namespace randomop
