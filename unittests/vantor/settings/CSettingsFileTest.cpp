#include <array>
#include <climits>
#include <csignal>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "SettingsTestUtil.h"
#include "vantor/settings/CSettingsFile.h"

using namespace settings_test;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    QString path(const char* name = "Vantor.ini") const { return m_dir.filePath(QString::fromLatin1(name)); }
    // Loads a file holding exactly these UTF-16LE characters.
    bool loadText(const QString& text)
    {
        EXPECT_TRUE(writeFile(path(), utf16(text)));
        return m_file.Load(path());
    }

    QTemporaryDir m_dir;
    CSettingsFile m_file;
};

} // namespace

TEST(SettingsHash, BucketsFollowTimes33)
{
    // c y c l e: ((((99*33+121)*33+99)*33+108)*33+101)
    EXPECT_EQ(SettingsHashMap<int>::Hash(u"cycle"), 121866032u);
    EXPECT_EQ(SettingsHashMap<int>::Bucket(u"cycle"), 2u);
    EXPECT_EQ(SettingsHashMap<int>::Hash(u"pause"), 136440350u);
    EXPECT_EQ(SettingsHashMap<int>::Bucket(u"pause"), 16u);
    // Long names wrap at 32 bits rather than overflow.
    uint32_t h = 0;
    const QString longName(40, QLatin1Char('z'));
    for (QChar c : longName)
        h = h * 33u + c.unicode();
    EXPECT_EQ(SettingsHashMap<int>::Hash(longName), h);
}

// A map filled well past the size where it starts its index, and through
// several growths of it, finds every key with the value last given, keeps
// each bucket's chain newest first, and keeps all of it when it is moved (as
// the sections' own maps are when the map of sections grows).
TEST(SettingsHash, ManyKeysKeepTheirValuesAndTheirChainOrder)
{
    SettingsHashMap<SettingsHashMap<int>> sections;
    std::map<QString, int> expected;
    std::array<std::vector<QString>, SettingsHashMap<int>::kBuckets> chains; // newest first
    const int keys = 3000;
    for (int i = 0; i < keys; ++i) {
        // Every third key is given twice: the second time keeps its place.
        const QString key = QStringLiteral("Key%1").arg(i % 3 == 2 ? i - 1 : i);
        const bool isNew = expected.emplace(key, 0).second;
        if (isNew) {
            auto& chain = chains[SettingsHashMap<int>::Bucket(key)];
            chain.insert(chain.begin(), key);
        }
        expected[key] = i;
        // Sections are added between the keys, so the one in use moves.
        sections.Get(QStringLiteral("filler%1").arg(i));
        sections.Get(QStringLiteral("main")).Get(key) = i;
        ASSERT_EQ(sections.Find(u"main")->Size(), qsizetype(expected.size())) << i;
    }
    const SettingsHashMap<int>& main = *sections.Find(u"main");
    for (const auto& [key, value] : expected) {
        ASSERT_NE(main.Find(key), nullptr) << qPrintable(key);
        EXPECT_EQ(*main.Find(key), value) << qPrintable(key);
    }
    EXPECT_EQ(main.Find(u"Key2"), nullptr);
    EXPECT_EQ(main.Find(u"key1"), nullptr); // the map itself is case-sensitive
    std::vector<QString> walked, wanted;
    main.ForEach([&](const QString& key, int) { walked.push_back(key); });
    for (const auto& chain : chains)
        wanted.insert(wanted.end(), chain.begin(), chain.end());
    EXPECT_EQ(walked, wanted);
    EXPECT_EQ(sections.Size(), keys + 1);

    SettingsHashMap<SettingsHashMap<int>> moved(std::move(sections));
    EXPECT_EQ(*moved.Find(u"main")->Find(u"Key0"), 0);
    EXPECT_TRUE(sections.IsEmpty()); // NOLINT(bugprone-use-after-move): left empty on purpose
    int walkedAfterMove = 0;
    sections.ForEach([&](const QString&, const SettingsHashMap<int>&) { ++walkedAfterMove; });
    EXPECT_EQ(walkedAfterMove, 0);
    sections = std::move(moved);
    EXPECT_EQ(sections.Size(), keys + 1);

    sections.Clear();
    EXPECT_TRUE(sections.IsEmpty());
    EXPECT_EQ(sections.Find(u"main"), nullptr);
    sections.Get(QStringLiteral("again")).Get(QStringLiteral("k")) = 1;
    EXPECT_EQ(*sections.Find(u"again")->Find(u"k"), 1);
}

// Keys that are prefixes of one another, of every length around the 8-byte
// steps of the look-up's hash (the empty key too), and keys that differ in
// their last character only, each keep a value of their own.
TEST(SettingsHash, KeysOfEveryLengthAndNearTwinsStayApart)
{
    SettingsHashMap<int> map;
    std::vector<QString> keys;
    for (int n = 0; n <= 40; ++n) {
        keys.push_back(QString(n, QLatin1Char('a')));
        if (n > 0)
            keys.push_back(QString(n - 1, QLatin1Char('a')) + QLatin1Char('b'));
    }
    for (size_t i = 0; i < keys.size(); ++i)
        map.Get(keys[i]) = int(i);
    ASSERT_EQ(map.Size(), qsizetype(keys.size()));
    for (size_t i = 0; i < keys.size(); ++i) {
        ASSERT_NE(map.Find(keys[i]), nullptr) << i;
        EXPECT_EQ(*map.Find(keys[i]), int(i)) << qPrintable(keys[i]);
    }
    EXPECT_EQ(map.Find(QString(41, QLatin1Char('a'))), nullptr);
    EXPECT_EQ(map.Find(u"c"), nullptr);
}

TEST_F(SettingsFileTest, WritesUtf16WithEmptyFirstLineAndBucketOrder)
{
    m_file.SetSection("Platen");
    m_file.SetInt("pause", 500);
    m_file.SetInt("Cycle", 10);
    // Bucket 2 (cycle) comes before bucket 16 (pause), whatever the order of
    // writing; names are lower case.
    EXPECT_EQ(m_file.Serialize(), utf16(u"\r\n[platen]\r\ncycle = 10\r\npause = 500\r\n"_qs));

    // Two keys of one bucket: the later one heads the chain.
    QString first, second;
    for (int i = 0; i < 100 && second.isEmpty(); ++i)
        for (int j = 0; j < i; ++j)
            if (SettingsHashMap<int>::Bucket(QStringLiteral("k%1").arg(i)) ==
                SettingsHashMap<int>::Bucket(QStringLiteral("k%1").arg(j))) {
                first = QStringLiteral("k%1").arg(j);
                second = QStringLiteral("k%1").arg(i);
                break;
            }
    ASSERT_FALSE(second.isEmpty());
    CSettingsFile f;
    f.SetSection("s");
    f.SetString(first, "1");
    f.SetString(second, "2");
    f.SetString(first, "3"); // replacing keeps the place
    EXPECT_EQ(f.Serialize(), utf16(QStringLiteral("\r\n[s]\r\n%1 = 2\r\n%2 = 3\r\n").arg(second, first)));
}

TEST_F(SettingsFileTest, SaveReplacesOnlyAnExistingFileAndLeavesNoTrace)
{
    m_file.SetSection("platen");
    EXPECT_FALSE(m_file.Save(path()));
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_FALSE(m_file.Save(QString()));
    EXPECT_FALSE(m_file.Save(m_dir.path())); // a folder is no settings file

    ASSERT_TRUE(writeFile(path(), QByteArray(5000, 'x')));
    m_file.SetInt("CumulativeCycle", 100);
    ASSERT_TRUE(m_file.Save(path()));
    m_file.SetInt("CumulativeCycle", 0);
    ASSERT_TRUE(m_file.Save(path()));
    EXPECT_EQ(readFile(path()), utf16(u"\r\n[platen]\r\ncumulativecycle = 0\r\n"_qs));
    // The temporary file is renamed over the old one, not left beside it.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Vantor.ini")});
}

TEST_F(SettingsFileTest, SaveRefusesAFileItCannotWrite)
{
    ASSERT_TRUE(writeFile(path(), "old"));
    QFile::setPermissions(path(), QFile::ReadOwner);
    m_file.SetSection("s");
    m_file.SetInt("k", 1);
    EXPECT_FALSE(m_file.Save(path()));
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readFile(path()), QByteArray("old"));
}

TEST_F(SettingsFileTest, LoadSkipsTheFirstCharacterWhetherMarkOrLineEnd)
{
    const QString body = u"[Platen]\r\nCycle = 5\r\n"_qs;
    ASSERT_TRUE(loadText(QChar(0xFEFF) + body));
    m_file.SetSection("platen");
    EXPECT_EQ(m_file.GetInt("cycle", -1), 5);

    CSettingsFile written;
    ASSERT_TRUE(writeFile(path("b.ini"), utf16(u"\r\n"_qs + body)));
    ASSERT_TRUE(written.Load(path("b.ini")));
    written.SetSection("PLATEN");
    EXPECT_EQ(written.GetInt("CYCLE", -1), 5);

    // Without either, the header loses its bracket and the key lands in the
    // section that was current.
    m_file.SetSection("general");
    ASSERT_TRUE(loadText(body));
    EXPECT_FALSE(m_file.HasSection("platen"));
    m_file.SetSection("general");
    EXPECT_EQ(m_file.GetInt("cycle", -1), 5);
}

TEST_F(SettingsFileTest, NamesAreCaseInsensitiveAndLaterLinesWin)
{
    ASSERT_TRUE(loadText(u"\r\n[Platen]\r\nCycle = 5\r\ncycle = 7\r\n[PLATEN]\r\nCYCLE = 9\r\n"_qs));
    m_file.SetSection("platen");
    EXPECT_EQ(m_file.GetInt("Cycle", 0), 9);
    EXPECT_EQ(m_file.Serialize(), utf16(u"\r\n[platen]\r\ncycle = 9\r\n"_qs));
}

TEST_F(SettingsFileTest, LineParsingTrimsQuotesAndSkipsGarbage)
{
    ASSERT_TRUE(loadText(u"\r\n"
                         u"key0 = before any header\r\n"
                         u"  [  Test One  ] trailing text\r\n"
                         u"  \"Key One\"  =  \"a \"quoted\" value\"  \r\n"
                         u"\t\"\" spaced \"\" = \"\" padded \"\"\n"
                         u"; a comment\r\n"
                         u"# another = still a key\r\n"
                         u"=no key\r\n"
                         u"no equals sign\r\n"
                         u"[   ]\r\n"
                         u"[unclosed\r\n"
                         u"after = blank header\r\r\n\n"
                         u"eq = a=b\r\n"_qs));
    m_file.SetSection("general");
    EXPECT_EQ(m_file.GetString("key0", "-"), QStringLiteral("before any header"));
    m_file.SetSection("test one");
    EXPECT_EQ(m_file.GetString("key one", "-"), QStringLiteral("a \"quoted\" value"));
    EXPECT_EQ(m_file.GetString("spaced", "-"), QStringLiteral("padded"));
    EXPECT_EQ(m_file.GetString("# another", "-"), QStringLiteral("still a key"));
    // A blank header and an unclosed one leave the section as it was.
    EXPECT_EQ(m_file.GetString("after", "-"), QStringLiteral("blank header"));
    EXPECT_EQ(m_file.GetString("eq", "-"), QStringLiteral("a=b"));
    EXPECT_EQ(m_file.SectionCount(), 2);
    EXPECT_FALSE(m_file.HasKey("test one", "; a comment"));
    EXPECT_FALSE(m_file.HasKey("test one", "no equals sign"));
}

TEST_F(SettingsFileTest, MultiLineValuesAndBackslashesRoundTrip)
{
    const QString values[] = {
        u"two\nlines\r\nand a CR\r"_qs,
        u"\\Hard Disk\\new\\ramp.txt"_qs, // \n and \r inside a path
        u"\\\\server\\share\\x.txt"_qs,
        u"ends in a backslash\\"_qs,
        u"backslash before a line feed\\\nx"_qs,
        u"\\\\n literal"_qs,
    };
    m_file.SetSection("s");
    for (int i = 0; i < 6; ++i)
        m_file.SetString(QStringLiteral("v%1").arg(i), values[i]);
    const QString text = fromUtf16(m_file.Serialize());
    EXPECT_TRUE(text.contains(u"v0 = two\\nlines\\r\\nand a CR\\r\r\n"_qs));
    // Backslashes that stand before nothing special stay single.
    EXPECT_TRUE(text.contains(u"v2 = \\\\server\\share\\x.txt\r\n"_qs));

    ASSERT_TRUE(writeFile(path(), "x"));
    ASSERT_TRUE(m_file.Save(path()));
    CSettingsFile loaded;
    ASSERT_TRUE(loaded.Load(path()));
    loaded.SetSection("s");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(loaded.GetString(QStringLiteral("v%1").arg(i), QString()), values[i]) << i;
}

TEST_F(SettingsFileTest, EscapesWrittenByEarlierVersionsReadAsBefore)
{
    ASSERT_TRUE(loadText(u"\r\n[s]\r\nmsg = one\\ntwo\\rthree\r\npath = \\Hard Disk\\Profiles\\Up.txt\r\n"_qs));
    m_file.SetSection("s");
    EXPECT_EQ(m_file.GetString("msg", ""), u"one\ntwo\rthree"_qs);
    EXPECT_EQ(m_file.GetString("path", ""), u"\\Hard Disk\\Profiles\\Up.txt"_qs);
}

TEST_F(SettingsFileTest, NumbersStopAtTheFirstNonDigit)
{
    ASSERT_TRUE(loadText(u"\r\n[n]\r\na = 12abc\r\nb = abc\r\nc =  -7\r\nd = +3\r\ne = 99999999999\r\n"
                         u"f = -99999999999\r\ng = 0x10\r\nh =\r\n"_qs));
    m_file.SetSection("n");
    EXPECT_EQ(m_file.GetInt("a", 5), 12);
    EXPECT_EQ(m_file.GetInt("b", 5), 0);
    EXPECT_EQ(m_file.GetLong("c", 5), -7);
    EXPECT_EQ(m_file.GetLong("d", 5), 3);
    EXPECT_EQ(m_file.GetInt("e", 5), INT32_MAX);
    EXPECT_EQ(m_file.GetInt("f", 5), INT32_MIN);
    EXPECT_EQ(m_file.GetInt("g", 5), 0);
    EXPECT_EQ(m_file.GetInt("h", 5), 0); // present but empty
    EXPECT_EQ(m_file.GetInt("absent", -42), -42);
    EXPECT_EQ(m_file.GetLong("absent", INT32_MIN), INT32_MIN);
}

TEST_F(SettingsFileTest, ReadingCreatesTheSectionButStoresNoDefault)
{
    m_file.SetSection("Fresh");
    EXPECT_FALSE(m_file.HasSection("fresh"));
    EXPECT_EQ(m_file.GetString("key", "dflt"), QStringLiteral("dflt"));
    EXPECT_TRUE(m_file.HasSection("fresh"));
    EXPECT_FALSE(m_file.HasKey("fresh", "key"));
    EXPECT_EQ(m_file.Serialize(), utf16(u"\r\n[fresh]\r\n"_qs));
    // A header alone in a file creates nothing.
    ASSERT_TRUE(loadText(u"\r\n[empty]\r\n"_qs));
    EXPECT_EQ(m_file.SectionCount(), 0);
}

TEST_F(SettingsFileTest, FailedLoadKeepsTheStoreAndLoadKeepsTheCurrentSection)
{
    ASSERT_TRUE(loadText(u"\r\n[s]\r\nk = 1\r\n"_qs));
    EXPECT_FALSE(m_file.Load(QString()));
    EXPECT_FALSE(m_file.Load(path("missing.ini")));
    EXPECT_FALSE(m_file.Load(m_dir.path()));
    EXPECT_TRUE(m_file.HasKey("s", "k"));

    m_file.SetSection("Mine");
    ASSERT_TRUE(loadText(u"\r\nloose = 2\r\n"_qs));
    EXPECT_FALSE(m_file.HasSection("s")); // cleared
    EXPECT_EQ(m_file.SectionName(), QStringLiteral("Mine"));
    EXPECT_TRUE(m_file.HasKey("mine", "loose"));
}

TEST_F(SettingsFileTest, ValuesOutliveTheBytesAndTheLoadThatReadThem)
{
    // Values and names are taken from the loaded text without copies; what
    // the store hands out or keeps must not depend on the bytes or on a
    // later load.
    {
        QByteArray bytes = utf16(u"\r\n[a]\r\nkey = first\r\nMixed = Case\r\nlower = two\\nlines\r\n"_qs);
        ASSERT_TRUE(m_file.LoadFromBytes(bytes));
        bytes.fill('\xEE'); // the caller's buffer is gone as far as the store knows
    }
    m_file.SetSection("a");
    const QString kept = m_file.GetString("key", "");
    EXPECT_EQ(kept, QStringLiteral("first"));
    EXPECT_EQ(m_file.GetString("mixed", ""), QStringLiteral("Case"));
    EXPECT_EQ(m_file.GetString("lower", ""), QStringLiteral("two\nlines"));
    m_file.SetString("key", QStringLiteral("second")); // replaces a value read from the text
    EXPECT_EQ(m_file.GetString("key", ""), QStringLiteral("second"));

    // A refused load keeps the store, and with it the text it refers to.
    EXPECT_FALSE(m_file.LoadFromBytes(QByteArray("\xFF\xFF\x80 not a known encoding")));
    EXPECT_EQ(m_file.GetString("mixed", ""), QStringLiteral("Case"));
    const QByteArray saved = m_file.Serialize();

    ASSERT_TRUE(loadText(u"\r\n[b]\r\nother = 1\r\n"_qs));
    EXPECT_EQ(kept, QStringLiteral("first"));
    EXPECT_FALSE(m_file.HasSection("a"));
    ASSERT_TRUE(m_file.LoadFromBytes(saved));
    m_file.SetSection("a");
    EXPECT_EQ(m_file.GetString("key", ""), QStringLiteral("second"));
    EXPECT_EQ(m_file.GetString("lower", ""), QStringLiteral("two\nlines"));
    m_file.Clear();
    EXPECT_FALSE(m_file.HasKey("a", "key"));
    EXPECT_EQ(m_file.GetString("key", "gone"), QStringLiteral("gone"));
}

TEST(SettingsNames, LowerNameTestAgreesWithLowerName)
{
    for (const QString& name : {u"cycle"_qs, u"Cycle"_qs, u"r\u00e9gion"_qs, u"R\u00c9GION"_qs, u"\u0130x"_qs,
                                u"\u03a3\u03c3"_qs, u"\xd801\xdc00"_qs, u"12 = ."_qs, QString()}) {
        EXPECT_EQ(CSettingsFile::IsLowerName(name), CSettingsFile::LowerName(name) == name) << name.toStdString();
    }
}

TEST_F(SettingsFileTest, OddBytesSurrogatesAndZerosLoadSafely)
{
    // An odd last byte is one more character, high byte zero.
    QByteArray odd = utf16(u"\r\n[s]\r\na=b"_qs);
    odd.append('c');
    ASSERT_TRUE(writeFile(path(), odd));
    ASSERT_TRUE(m_file.Load(path()));
    m_file.SetSection("s");
    EXPECT_EQ(m_file.GetString("a", ""), QStringLiteral("bc"));

    // The text ends at the first zero character.
    ASSERT_TRUE(loadText(u"\r\n[s]\r\na=1\r\n"_qs + QChar(0) + u"b=2\r\n"_qs));
    EXPECT_TRUE(m_file.HasKey("s", "a"));
    EXPECT_FALSE(m_file.HasKey("s", "b"));

    // Lone surrogates are kept and written back unchanged.
    const QString lone = QString(QChar(0xD800)) + QLatin1String("x") + QChar(0xDC00);
    ASSERT_TRUE(loadText(u"\r\n["_qs + lone + u"]\r\n"_qs + lone + u"="_qs + lone + u"\r\n"_qs));
    m_file.SetSection(lone);
    EXPECT_EQ(m_file.GetString(lone, QString()), lone);
    ASSERT_TRUE(m_file.Save(path()));
    EXPECT_EQ(readFile(path()), utf16(u"\r\n["_qs + lone + u"]\r\n"_qs + lone + u" = "_qs + lone + u"\r\n"_qs));

    for (const QByteArray& bytes : {QByteArray(), QByteArray("A"), QByteArray("\xff\xfe"), QByteArray(7, '\0'),
                                    QByteArray(1000, '=')}) {
        ASSERT_TRUE(writeFile(path(), bytes));
        EXPECT_TRUE(m_file.Load(path()));
    }
    // One long line without line ends.
    ASSERT_TRUE(loadText(u"\r\nkey = "_qs + QString(100000, QLatin1Char('v'))));
    m_file.SetSection(lone);
    EXPECT_EQ(m_file.GetString("key", "").size(), 100000);
}

// --- files an editor re-saved, and saves that must not lose the file ------

namespace {

QByteArray withMark(const char* mark, const QByteArray& body)
{
    return QByteArray(mark) + body;
}

QByteArray utf16be(const QString& text)
{
    QByteArray out;
    for (QChar c : text) {
        out.append(char(c.unicode() >> 8));
        out.append(char(c.unicode() & 0xFF));
    }
    return out;
}

} // namespace

TEST_F(SettingsFileTest, EncodingsAnEditorWritesLoadTheSameValues)
{
    const QString body = u"[Platen]\r\nTotalPulses = 1200\r\nRampUpProfile = \\Hard Disk\\M\u00fcller\\up.txt\r\n"_qs;
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"UTF-16LE as the store writes it", utf16(u"\r\n"_qs + body)},
        {"UTF-16LE with a mark", withMark("\xFF\xFE", utf16(body))},
        {"UTF-16BE with a mark", withMark("\xFE\xFF", utf16be(body))},
        {"UTF-8 with a mark", withMark("\xEF\xBB\xBF", body.toUtf8())},
        {"UTF-8 without a mark", body.toUtf8()},
    };
    for (const auto& c : cases) {
        CSettingsFile f;
        ASSERT_TRUE(writeFile(path(), c.bytes));
        ASSERT_TRUE(f.Load(path())) << c.name;
        f.SetSection("platen");
        EXPECT_EQ(f.GetInt("TotalPulses", -1), 1200) << c.name;
        EXPECT_EQ(f.GetString("RampUpProfile", ""), u"\\Hard Disk\\M\u00fcller\\up.txt"_qs) << c.name;
        // Saved back in the store's own form, values intact.
        ASSERT_TRUE(f.Save(path())) << c.name;
        CSettingsFile again;
        ASSERT_TRUE(again.Load(path()));
        again.SetSection("platen");
        EXPECT_EQ(again.GetInt("TotalPulses", -1), 1200) << c.name;
    }
}

TEST_F(SettingsFileTest, AFileInAnUnknownEncodingIsRefusedAndNeverSavedOver)
{
    // 8-bit text in a code page (not UTF-8): refused, not read as empty.
    const QByteArray latin1("\r\n[Platen]\r\nTotalPulses = 1200\r\nOwner = M\xFCller\r\n");
    ASSERT_TRUE(writeFile(path(), latin1));
    m_file.SetSection("platen");
    m_file.SetInt("cycle", 3);
    EXPECT_FALSE(m_file.Load(path()));
    EXPECT_TRUE(m_file.DidNotLoad(path()));
    EXPECT_EQ(m_file.GetInt("cycle", -1), 3) << "the store is left as it was";
    EXPECT_FALSE(m_file.Save(path()));
    EXPECT_EQ(readFile(path()), latin1);

    // Nor is a file that could not be read at all, or one missing at load and
    // created later.
    QFile::remove(path());
    EXPECT_FALSE(m_file.Load(path()));
    ASSERT_TRUE(writeFile(path(), utf16(u"\r\n[platen]\r\ntotalpulses = 7\r\n"_qs)));
    EXPECT_FALSE(m_file.Save(path()));
    EXPECT_EQ(readFile(path()), utf16(u"\r\n[platen]\r\ntotalpulses = 7\r\n"_qs));

    // Once it loads, it is saved again.
    ASSERT_TRUE(m_file.Load(path()));
    EXPECT_FALSE(m_file.DidNotLoad(path()));
    EXPECT_TRUE(m_file.Save(path()));
    // Other paths are not affected by a failed load of this one.
    EXPECT_FALSE(m_file.DidNotLoad(this->path("other.ini")));
}

TEST(SettingsDecode, KnowsTheEncodingsAndRefusesTheRest)
{
    const struct {
        QByteArray bytes;
        std::optional<QString> text;
    } cases[] = {
        {QByteArray(), QString()},
        {QByteArray("a=1"), QStringLiteral("a=1")},
        {QByteArray("\xEF\xBB\xBF" "a=\xC3\xBC"), QStringLiteral("a=\u00fc")},
        {QByteArray("a=\xFC"), std::nullopt},                 // Latin-1
        {QByteArray("\xEF\xBB\xBF" "a=\xFC"), std::nullopt},  // a mark that lies
        {QByteArray("\xFF\xFE" "a\0=\0", 6), QStringLiteral("a=")},
        {QByteArray("\xFE\xFF\0a\0=", 6), QStringLiteral("a=")},
        {QByteArray("\r\0a\0=\0", 6), QStringLiteral("a=")},     // the first character is skipped
        {QByteArray("\r\0a\0\0\0b\0", 8), QStringLiteral("a")}, // up to the first zero
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSettingsFile::Decode(c.bytes), c.text) << c.bytes.toHex().toStdString();
}

namespace {

// Runs `body` in a child process that may not create files in a folder it
// does not own (as "nobody" when the tests run as root, since root may write
// anywhere) and returns its exit code, or -1 when it did not exit normally.
int runUnprivileged(const std::function<int()>& body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        _exit(body());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

TEST_F(SettingsFileTest, SaveNeverWritesInPlaceWhenTheFolderTakesNoTemporaryFile)
{
    // The engineer's file, in a folder where no new file can be made; the
    // file itself is writable. Writing in place would truncate it first, and
    // a write that then fails (here: the file size limit) leaves half a file.
    const QByteArray original = utf16(u"\r\n[platen]\r\ntotalpulses = 1200\r\n"_qs);
    const QString folder = m_dir.filePath("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + "/Vantor.ini";
    for (bool limitFileSize : {false, true}) {
        SCOPED_TRACE(limitFileSize ? "with a file size limit" : "without a limit");
        ASSERT_TRUE(writeFile(file, original));
        if (geteuid() == 0) {
            ASSERT_EQ(::chown(QFile::encodeName(file).constData(), 65534, 65534), 0);
        }
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0666), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);

        const int code = runUnprivileged([&] {
            CSettingsFile f;
            if (!f.Load(file))
                return 2;
            f.SetSection("platen");
            f.SetString("RampUpProfile", QString(4000, QLatin1Char('x')));
            if (limitFileSize) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{64, 64};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            return f.Save(file) ? 1 : 0;
        });
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        EXPECT_EQ(code, 0) << "the save fails";
        EXPECT_EQ(readFile(file), original) << "and the file is as it was";
    }
}
