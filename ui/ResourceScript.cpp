#include "ResourceScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <string_view>

using namespace Qt::StringLiterals;

namespace ui {

const ControlTemplate* DialogTemplate::control(int controlId) const
{
    for (const auto& c : controls)
        if (c.id == controlId)
            return &c;
    return nullptr;
}

QString ParseError::toString() const
{
    return QStringLiteral("%1(%2): %3").arg(file).arg(line).arg(message);
}

const DialogTemplate* ResourceScript::dialog(int id) const
{
    auto it = dialogs.find(id);
    return it == dialogs.end() ? nullptr : &it->second;
}

std::optional<QString> ResourceScript::string(int id) const
{
    auto it = strings.find(id);
    if (it == strings.end())
        return std::nullopt;
    return it->second;
}

std::optional<int64_t> ResourceScript::symbol(const QString& name) const
{
    auto it = symbols.find(name);
    if (it == symbols.end())
        return std::nullopt;
    return it->second;
}

namespace {

using namespace style;

// Symbols that windows.h, commctrl.h and afxres.h would bring in.
const std::map<QString, int64_t>& predefinedSymbols()
{
    static const std::map<QString, int64_t> table = [] {
        std::map<QString, int64_t> t{
            {"IDOK", 1}, {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4}, {"IDIGNORE", 5},
            {"IDYES", 6}, {"IDNO", 7}, {"IDCLOSE", 8}, {"IDHELP", 9}, {"IDC_STATIC", -1},
            {"WS_OVERLAPPED", 0}, {"WS_TILED", 0}, {"WS_POPUP", WS_POPUP}, {"WS_CHILD", WS_CHILD},
            {"WS_CHILDWINDOW", WS_CHILD}, {"WS_MINIMIZE", 0x20000000}, {"WS_ICONIC", 0x20000000},
            {"WS_VISIBLE", WS_VISIBLE}, {"WS_DISABLED", WS_DISABLED}, {"WS_CLIPSIBLINGS", 0x04000000},
            {"WS_CLIPCHILDREN", 0x02000000}, {"WS_MAXIMIZE", 0x01000000}, {"WS_CAPTION", WS_CAPTION},
            {"WS_BORDER", WS_BORDER}, {"WS_DLGFRAME", 0x00400000}, {"WS_VSCROLL", WS_VSCROLL},
            {"WS_HSCROLL", WS_HSCROLL}, {"WS_SYSMENU", WS_SYSMENU}, {"WS_THICKFRAME", 0x00040000},
            {"WS_SIZEBOX", 0x00040000}, {"WS_GROUP", WS_GROUP}, {"WS_TABSTOP", WS_TABSTOP},
            {"WS_MINIMIZEBOX", 0x00020000}, {"WS_MAXIMIZEBOX", 0x00010000},
            {"WS_OVERLAPPEDWINDOW", 0x00CF0000}, {"WS_TILEDWINDOW", 0x00CF0000},
            {"WS_POPUPWINDOW", int64_t(WS_POPUP | WS_BORDER | WS_SYSMENU)},
            {"WS_EX_DLGMODALFRAME", 0x1}, {"WS_EX_NOPARENTNOTIFY", 0x4}, {"WS_EX_TOPMOST", 0x8},
            {"WS_EX_ACCEPTFILES", 0x10}, {"WS_EX_TRANSPARENT", 0x20}, {"WS_EX_MDICHILD", 0x40},
            {"WS_EX_TOOLWINDOW", 0x80}, {"WS_EX_WINDOWEDGE", 0x100}, {"WS_EX_CLIENTEDGE", WS_EX_CLIENTEDGE},
            {"WS_EX_CONTEXTHELP", 0x400}, {"WS_EX_RIGHT", 0x1000}, {"WS_EX_LEFT", 0},
            {"WS_EX_RTLREADING", 0x2000}, {"WS_EX_LTRREADING", 0}, {"WS_EX_LEFTSCROLLBAR", 0x4000},
            {"WS_EX_RIGHTSCROLLBAR", 0}, {"WS_EX_CONTROLPARENT", 0x10000},
            {"WS_EX_STATICEDGE", WS_EX_STATICEDGE}, {"WS_EX_APPWINDOW", 0x40000},
            {"WS_EX_OVERLAPPEDWINDOW", 0x300}, {"WS_EX_PALETTEWINDOW", 0x188},
            {"WS_EX_NODRAG", 0x40000000}, {"WS_EX_CAPTIONOKBTN", 0x80000000LL},
            {"DS_ABSALIGN", 0x1}, {"DS_SYSMODAL", 0x2}, {"DS_3DLOOK", 0x4}, {"DS_FIXEDSYS", 0x8},
            {"DS_NOFAILCREATE", 0x10}, {"DS_LOCALEDIT", 0x20}, {"DS_SETFONT", DS_SETFONT},
            {"DS_MODALFRAME", DS_MODALFRAME}, {"DS_NOIDLEMSG", 0x100}, {"DS_SETFOREGROUND", 0x200},
            {"DS_CONTROL", DS_CONTROL}, {"DS_CENTER", DS_CENTER}, {"DS_CENTERMOUSE", 0x1000},
            {"DS_CONTEXTHELP", 0x2000}, {"DS_SHELLFONT", 0x48},
            {"ES_LEFT", 0}, {"ES_CENTER", ES_CENTER}, {"ES_RIGHT", ES_RIGHT}, {"ES_MULTILINE", ES_MULTILINE},
            {"ES_UPPERCASE", ES_UPPERCASE}, {"ES_LOWERCASE", ES_LOWERCASE}, {"ES_PASSWORD", ES_PASSWORD},
            {"ES_AUTOVSCROLL", 0x40}, {"ES_AUTOHSCROLL", 0x80}, {"ES_NOHIDESEL", 0x100},
            {"ES_OEMCONVERT", 0x400}, {"ES_READONLY", ES_READONLY}, {"ES_WANTRETURN", 0x1000},
            {"ES_NUMBER", ES_NUMBER},
            {"BS_PUSHBUTTON", BS_PUSHBUTTON}, {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
            {"BS_CHECKBOX", BS_CHECKBOX}, {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
            {"BS_RADIOBUTTON", BS_RADIOBUTTON}, {"BS_3STATE", BS_3STATE}, {"BS_AUTO3STATE", BS_AUTO3STATE},
            {"BS_GROUPBOX", BS_GROUPBOX}, {"BS_USERBUTTON", 0x8}, {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON},
            {"BS_PUSHBOX", BS_PUSHBOX}, {"BS_OWNERDRAW", 0xB}, {"BS_TYPEMASK", BS_TYPEMASK},
            {"BS_LEFTTEXT", BS_LEFTTEXT}, {"BS_RIGHTBUTTON", BS_LEFTTEXT}, {"BS_TEXT", 0},
            {"BS_ICON", 0x40}, {"BS_BITMAP", 0x80}, {"BS_LEFT", 0x100}, {"BS_RIGHT", 0x200},
            {"BS_CENTER", 0x300}, {"BS_TOP", 0x400}, {"BS_BOTTOM", 0x800}, {"BS_VCENTER", 0xC00},
            {"BS_PUSHLIKE", BS_PUSHLIKE}, {"BS_MULTILINE", BS_MULTILINE}, {"BS_NOTIFY", 0x4000},
            {"BS_FLAT", 0x8000},
            {"SS_LEFT", SS_LEFT}, {"SS_CENTER", SS_CENTER}, {"SS_RIGHT", SS_RIGHT}, {"SS_ICON", SS_ICON},
            {"SS_BLACKRECT", SS_BLACKRECT}, {"SS_GRAYRECT", SS_GRAYRECT}, {"SS_WHITERECT", SS_WHITERECT},
            {"SS_BLACKFRAME", SS_BLACKFRAME}, {"SS_GRAYFRAME", SS_GRAYFRAME},
            {"SS_WHITEFRAME", SS_WHITEFRAME}, {"SS_USERITEM", 0xA}, {"SS_SIMPLE", SS_SIMPLE},
            {"SS_LEFTNOWORDWRAP", SS_LEFTNOWORDWRAP}, {"SS_OWNERDRAW", 0xD}, {"SS_BITMAP", SS_BITMAP},
            {"SS_ENHMETAFILE", 0xF}, {"SS_ETCHEDHORZ", SS_ETCHEDHORZ}, {"SS_ETCHEDVERT", SS_ETCHEDVERT},
            {"SS_ETCHEDFRAME", SS_ETCHEDFRAME}, {"SS_TYPEMASK", SS_TYPEMASK}, {"SS_REALSIZECONTROL", 0x40},
            {"SS_NOPREFIX", SS_NOPREFIX}, {"SS_NOTIFY", SS_NOTIFY}, {"SS_CENTERIMAGE", SS_CENTERIMAGE},
            {"SS_RIGHTJUST", 0x400}, {"SS_REALSIZEIMAGE", 0x800}, {"SS_SUNKEN", SS_SUNKEN},
            {"SS_EDITCONTROL", 0x2000}, {"SS_ENDELLIPSIS", 0x4000}, {"SS_PATHELLIPSIS", 0x8000},
            {"SS_WORDELLIPSIS", 0xC000},
            {"LBS_NOTIFY", LBS_NOTIFY}, {"LBS_SORT", LBS_SORT}, {"LBS_NOREDRAW", 0x4},
            {"LBS_MULTIPLESEL", LBS_MULTIPLESEL}, {"LBS_OWNERDRAWFIXED", 0x10},
            {"LBS_OWNERDRAWVARIABLE", 0x20}, {"LBS_HASSTRINGS", 0x40}, {"LBS_USETABSTOPS", 0x80},
            {"LBS_NOINTEGRALHEIGHT", 0x100}, {"LBS_MULTICOLUMN", 0x200}, {"LBS_WANTKEYBOARDINPUT", 0x400},
            {"LBS_EXTENDEDSEL", LBS_EXTENDEDSEL}, {"LBS_DISABLENOSCROLL", LBS_DISABLENOSCROLL},
            {"LBS_NODATA", 0x2000}, {"LBS_NOSEL", LBS_NOSEL}, {"LBS_COMBOBOX", 0x8000},
            {"LBS_STANDARD", int64_t(LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER)},
            {"CBS_SIMPLE", CBS_SIMPLE}, {"CBS_DROPDOWN", CBS_DROPDOWN}, {"CBS_DROPDOWNLIST", CBS_DROPDOWNLIST},
            {"CBS_OWNERDRAWFIXED", 0x10}, {"CBS_OWNERDRAWVARIABLE", 0x20}, {"CBS_AUTOHSCROLL", 0x40},
            {"CBS_OEMCONVERT", 0x80}, {"CBS_SORT", CBS_SORT}, {"CBS_HASSTRINGS", 0x200},
            {"CBS_NOINTEGRALHEIGHT", 0x400}, {"CBS_DISABLENOSCROLL", 0x800},
            {"CBS_UPPERCASE", CBS_UPPERCASE}, {"CBS_LOWERCASE", CBS_LOWERCASE},
            {"TBS_AUTOTICKS", TBS_AUTOTICKS}, {"TBS_VERT", TBS_VERT}, {"TBS_HORZ", 0}, {"TBS_TOP", TBS_TOP},
            {"TBS_BOTTOM", 0}, {"TBS_LEFT", TBS_TOP}, {"TBS_RIGHT", 0}, {"TBS_BOTH", TBS_BOTH},
            {"TBS_NOTICKS", TBS_NOTICKS}, {"TBS_ENABLESELRANGE", 0x20}, {"TBS_FIXEDLENGTH", 0x40},
            {"TBS_NOTHUMB", TBS_NOTHUMB}, {"TBS_TOOLTIPS", 0x100}, {"TBS_REVERSED", 0x200},
            {"TBS_DOWNISLEFT", 0x400},
            {"PBS_SMOOTH", 0x1}, {"PBS_VERTICAL", PBS_VERTICAL},
            {"SBS_HORZ", 0}, {"SBS_VERT", SBS_VERT},
            {"UDS_WRAP", 0x1}, {"UDS_SETBUDDYINT", 0x2}, {"UDS_ALIGNRIGHT", 0x4}, {"UDS_ALIGNLEFT", 0x8},
            {"UDS_AUTOBUDDY", 0x10}, {"UDS_ARROWKEYS", 0x20}, {"UDS_HORZ", 0x40}, {"UDS_NOTHOUSANDS", 0x80},
        };
        return t;
    }();
    return table;
}

// Classes that a CONTROL statement may name by symbol or by atom number.
QString controlClassFor(const QString& name)
{
    static const std::map<QString, QString> names{
        {"WC_BUTTON", "Button"}, {"WC_STATIC", "Static"}, {"WC_EDIT", "Edit"},
        {"WC_LISTBOX", "ListBox"}, {"WC_COMBOBOX", "ComboBox"}, {"WC_SCROLLBAR", "ScrollBar"},
        {"TRACKBAR_CLASS", "msctls_trackbar32"}, {"PROGRESS_CLASS", "msctls_progress32"},
        {"UPDOWN_CLASS", "msctls_updown32"},
    };
    auto it = names.find(name);
    return it == names.end() ? QString() : it->second;
}

bool isSystemHeader(const QString& name)
{
    static const QStringList known{"windows.h", "winres.h", "winresrc.h", "afxres.h", "afxres.rc",
                                   "commctrl.h", "winuser.h", "winuser.rh", "commctrl.rh", "dde.rh",
                                   "winnt.rh", "afxprint.rc", "afxolecl.rc", "afxolesv.rc",
                                   "afxdb.rc", "atlres.h", "aygshell.h", "newres.h", "wceres.rc"};
    const QString base = QFileInfo(name).fileName().toLower();
    return known.contains(base);
}

bool isMemoryFlag(const QString& word)
{
    static const QStringList flags{"DISCARDABLE", "MOVEABLE", "PURE", "PRELOAD", "LOADONCALL",
                                   "FIXED", "IMPURE", "SHARED", "NONSHARED"};
    return flags.contains(word);
}

enum class Tok { End, Ident, Number, String, Punct };

struct Token {
    Tok kind = Tok::End;
    QString text;      // identifier, decoded string, or punctuation
    int64_t value = 0; // numbers
    // The name of the file it came from, kept by the lexer for as long as
    // the parse: a token is copied often, a name then costs nothing.
    const QString* file = nullptr;
    int line = 0;
    template <size_t N>
    bool is(const char (&p)[N]) const { return kind == Tok::Punct && text == QLatin1StringView(p, N - 1); }
    template <size_t N>
    bool word(const char (&w)[N]) const { return word(QLatin1StringView(w, N - 1)); }
    bool word(QLatin1StringView w) const { return kind == Tok::Ident && text == w; }
    QString fileName() const { return file ? *file : QString(); }
    bool sameFile(const Token& o) const { return file == o.file || (file && o.file && *file == *o.file); }
    QString describe() const
    {
        switch (kind) {
        case Tok::End: return QStringLiteral("end of file");
        case Tok::String: return QStringLiteral("a string");
        default: return QStringLiteral("'%1'").arg(text);
        }
    }
};

// Thrown only inside this file and caught at the parser's entry point, so a
// parse of any input ends in a value.
struct Failure {
    ParseError error;
};

constexpr int kMaxIncludeDepth = 16;
constexpr int kMaxExprDepth = 64;
// A script that includes itself more than once per level would otherwise
// read 2^16 files and more; real scripts include a handful.
constexpr int kMaxIncludes = 1000;
constexpr qsizetype kMaxSourceChars = 8 * 1024 * 1024; // the script and all it includes

// Coordinates and sizes are 16-bit words in a compiled template; clamping
// to that range keeps any value far from int overflow in QRect and in the
// conversion to pixels.
int word16(int64_t v)
{
    return int(std::clamp<int64_t>(v, -32768, 32767));
}

struct Source {
    QString text;
    const QString* file = nullptr; // its name, kept by the lexer: tokens point at it
    qsizetype pos = 0;
    int line = 1;
    bool lineStart = true;
};

class Lexer {
public:
    Lexer(std::map<QString, int64_t>& symbols, const IncludeLoader& includes, bool preprocess)
        : m_symbols(symbols), m_includes(includes), m_preprocess(preprocess)
    {
    }

    void push(const QString& text, const QString& file)
    {
        if (m_sources.size() >= size_t(kMaxIncludeDepth))
            fail(QStringLiteral("#include nested too deeply"));
        if (!m_sources.empty() && ++m_includeCount > kMaxIncludes)
            fail(QStringLiteral("more than %1 #include files in all").arg(kMaxIncludes));
        m_sourceChars += text.size();
        if (m_sourceChars > kMaxSourceChars)
            fail(QStringLiteral("the script and its includes are longer than %1 characters").arg(kMaxSourceChars));
        m_fileNames.push_back(file);
        auto source = std::make_unique<Source>();
        source->text = text;
        source->file = &m_fileNames.back();
        m_sources.push_back(std::move(source));
    }

    const Token& peek(size_t n = 0)
    {
        while (m_ahead.size() <= n)
            m_ahead.push_back(scan());
        return m_ahead[n];
    }
    Token take()
    {
        peek();
        Token t = std::move(m_ahead.front());
        m_ahead.pop_front();
        return t;
    }
    template <size_t N>
    bool accept(const char (&punct)[N])
    {
        if (peek().is(punct)) {
            take();
            return true;
        }
        return false;
    }
    template <size_t N>
    void expect(const char (&punct)[N], const char* what)
    {
        if (!accept(punct))
            failAt(peek(), QStringLiteral("expected '%1' %2, found %3").arg(QLatin1String(punct), QLatin1String(what), peek().describe()));
    }

    [[noreturn]] void failAt(const Token& t, const QString& message) const
    {
        throw Failure{ParseError{t.fileName().isEmpty() ? currentFile() : t.fileName(), t.line > 0 ? t.line : currentLine(), message}};
    }
    [[noreturn]] void fail(const QString& message) const
    {
        throw Failure{ParseError{currentFile(), currentLine(), message}};
    }
    QString currentFile() const { return m_sources.empty() ? m_lastFile : *m_sources.back()->file; }
    int currentLine() const { return m_sources.empty() ? m_lastLine : m_sources.back()->line; }

    std::map<QString, int64_t>& symbols() { return m_symbols; }

private:
    Token make(Tok kind, QString text, int line) const
    {
        Token t;
        t.kind = kind;
        t.text = std::move(text);
        t.file = m_sources.back()->file;
        t.line = line;
        m_endFile = t.file; // the end of input is reported where the last token stood
        m_endLine = line;
        return t;
    }

    bool active() const
    {
        for (const auto& c : m_conds)
            if (!c.active)
                return false;
        return true;
    }

    Token scan()
    {
        for (;;) {
            if (m_sources.empty()) {
                if (!m_conds.empty())
                    throw Failure{ParseError{m_endFile ? *m_endFile : QString(), m_endLine, QStringLiteral("expected #endif before end of file")}};
                Token t;
                t.file = m_endFile;
                t.line = m_endLine;
                return t;
            }
            Source& s = *m_sources.back();
            const QString& x = s.text;
            if (s.pos >= x.size()) {
                m_lastFile = *s.file;
                m_lastLine = s.line;
                m_sources.pop_back();
                continue;
            }
            const QChar c = x[s.pos];
            if (c == u'\n') {
                ++s.line;
                ++s.pos;
                s.lineStart = true;
                continue;
            }
            if (c.isSpace() || c == QChar(0xFEFF) || c == u'\0') {
                ++s.pos;
                continue;
            }
            if (m_preprocess && s.lineStart && c == u'#') {
                directive(s);
                continue;
            }
            if (m_preprocess && !active()) {
                skipLine(s);
                continue;
            }
            s.lineStart = false;
            if (c == u'/' && s.pos + 1 < x.size() && x[s.pos + 1] == u'/') {
                skipLine(s);
                continue;
            }
            if (c == u'/' && s.pos + 1 < x.size() && x[s.pos + 1] == u'*') {
                const int startLine = s.line;
                s.pos += 2;
                bool closed = false;
                while (s.pos < x.size()) {
                    if (x[s.pos] == u'*' && s.pos + 1 < x.size() && x[s.pos + 1] == u'/') {
                        s.pos += 2;
                        closed = true;
                        break;
                    }
                    if (x[s.pos] == u'\n')
                        ++s.line;
                    ++s.pos;
                }
                if (!closed)
                    throw Failure{ParseError{*s.file, startLine, QStringLiteral("expected '*/' to close the comment")}};
                continue;
            }
            if (c == u'"' || (c == u'L' && s.pos + 1 < x.size() && x[s.pos + 1] == u'"'))
                return string(s);
            if (c.isDigit())
                return number(s);
            if (c.isLetter() || c == u'_') {
                const qsizetype start = s.pos;
                while (s.pos < x.size() && (x[s.pos].isLetterOrNumber() || x[s.pos] == u'_'))
                    ++s.pos;
                return make(Tok::Ident, x.mid(start, s.pos - start), s.line);
            }
            // Punctuation texts made once: a script is mostly commas.
            static const QString two[] = {u"&&"_s, u"||"_s, u"<<"_s, u">>"_s, u"<="_s, u">="_s, u"=="_s, u"!="_s};
            if (s.pos + 1 < x.size()) {
                for (const QString& p : two) {
                    if (x[s.pos] == p[0] && x[s.pos + 1] == p[1]) {
                        s.pos += 2;
                        return make(Tok::Punct, p, s.line);
                    }
                }
            }
            static const std::array<QString, 128> single = [] {
                std::array<QString, 128> a;
                for (const char ch : std::string_view(",|{}()+-*/%~!&^<>="))
                    a[size_t(ch)] = QString(QLatin1Char(ch));
                return a;
            }();
            if (c.unicode() < single.size() && !single[c.unicode()].isNull()) {
                ++s.pos;
                return make(Tok::Punct, single[c.unicode()], s.line);
            }
            throw Failure{ParseError{*s.file, s.line,
                                     QStringLiteral("unexpected character '%1' (U+%2)")
                                         .arg(c.isPrint() ? QString(c) : QString())
                                         .arg(c.unicode(), 4, 16, QLatin1Char('0'))}};
        }
    }

    static void skipLine(Source& s)
    {
        while (s.pos < s.text.size() && s.text[s.pos] != u'\n')
            ++s.pos;
    }

    Token number(Source& s)
    {
        const QString& x = s.text;
        const qsizetype start = s.pos;
        uint64_t v = 0;
        int base = 10;
        if (x[s.pos] == u'0' && s.pos + 1 < x.size() && (x[s.pos + 1] == u'x' || x[s.pos + 1] == u'X')) {
            base = 16;
            s.pos += 2;
        }
        bool any = base == 10;
        while (s.pos < x.size()) {
            const int d = QChar(x[s.pos]).isDigit() ? x[s.pos].unicode() - '0'
                        : (base == 16 && x[s.pos].toLower() >= u'a' && x[s.pos].toLower() <= u'f')
                            ? x[s.pos].toLower().unicode() - 'a' + 10
                            : -1;
            if (d < 0)
                break;
            v = v * uint64_t(base) + uint64_t(d); // wraps, never undefined
            any = true;
            ++s.pos;
        }
        while (s.pos < x.size() && (x[s.pos] == u'L' || x[s.pos] == u'l' || x[s.pos] == u'U' || x[s.pos] == u'u'))
            ++s.pos;
        if (!any || (s.pos < x.size() && (x[s.pos].isLetterOrNumber() || x[s.pos] == u'_')))
            throw Failure{ParseError{*s.file, s.line, QStringLiteral("malformed number '%1'").arg(x.mid(start, s.pos - start + 1))}};
        Token t = make(Tok::Number, x.mid(start, s.pos - start), s.line);
        t.value = int64_t(v & 0x7FFFFFFFFFFFFFFFull);
        return t;
    }

    Token string(Source& s)
    {
        const QString& x = s.text;
        const int line = s.line;
        if (x[s.pos] == u'L')
            ++s.pos;
        ++s.pos; // opening quote
        QString out;
        for (;;) {
            if (s.pos >= x.size() || x[s.pos] == u'\n')
                throw Failure{ParseError{*s.file, line, QStringLiteral("expected '\"' to end the string")}};
            const QChar c = x[s.pos++];
            if (c == u'"') {
                if (s.pos < x.size() && x[s.pos] == u'"') { // "" stands for one quote
                    out += u'"';
                    ++s.pos;
                    continue;
                }
                break;
            }
            if (c != u'\\' || s.pos >= x.size()) {
                out += c;
                continue;
            }
            const QChar e = x[s.pos++];
            switch (e.unicode()) {
            case 'n': out += u'\n'; break;
            case 't': out += u'\t'; break;
            case 'r': out += u'\r'; break;
            case 'a': out += QChar(0x08); break; // right-aligns menu text, as the compiler does
            case '\\': out += u'\\'; break;
            case '"': out += u'"'; break;
            case 'x': case 'X': {
                uint32_t v = 0;
                int n = 0;
                while (n < 4 && s.pos < x.size() && QStringLiteral("0123456789abcdefABCDEF").contains(x[s.pos])) {
                    v = v * 16 + uint32_t(QString(x[s.pos]).toUInt(nullptr, 16));
                    ++s.pos;
                    ++n;
                }
                out += QChar(char16_t(v));
                break;
            }
            default:
                if (e >= u'0' && e <= u'7') {
                    uint32_t v = uint32_t(e.unicode() - '0');
                    int n = 1;
                    while (n < 3 && s.pos < x.size() && x[s.pos] >= u'0' && x[s.pos] <= u'7') {
                        v = v * 8 + uint32_t(x[s.pos].unicode() - '0');
                        ++s.pos;
                        ++n;
                    }
                    out += QChar(char16_t(v));
                } else {
                    out += u'\\'; // unknown escapes stay as written
                    out += e;
                }
            }
        }
        return make(Tok::String, out, line);
    }

    // --- preprocessor ---------------------------------------------------

    struct Cond {
        bool active;
        bool taken;
        bool sawElse;
    };

    QString directiveLine(Source& s)
    {
        QString out;
        const QString& x = s.text;
        while (s.pos < x.size() && x[s.pos] != u'\n') {
            if (x[s.pos] == u'\\' && s.pos + 1 < x.size() && x[s.pos + 1] == u'\n') {
                s.pos += 2;
                ++s.line;
                continue;
            }
            if (x[s.pos] == u'/' && s.pos + 1 < x.size() && x[s.pos + 1] == u'/') {
                skipLine(s);
                break;
            }
            if (x[s.pos] == u'/' && s.pos + 1 < x.size() && x[s.pos + 1] == u'*') {
                s.pos += 2;
                while (s.pos < x.size() && !(x[s.pos] == u'*' && s.pos + 1 < x.size() && x[s.pos + 1] == u'/')) {
                    if (x[s.pos] == u'\n')
                        ++s.line;
                    ++s.pos;
                }
                s.pos = std::min(s.pos + 2, x.size());
                out += u' ';
                continue;
            }
            out += x[s.pos++];
        }
        return out;
    }

    void directive(Source& s)
    {
        const int line = s.line;
        const QString file = *s.file;
        ++s.pos; // '#'
        const QString text = directiveLine(s).trimmed();
        qsizetype n = 0;
        while (n < text.size() && (text[n].isLetter()))
            ++n;
        const QString name = text.left(n);
        const QString rest = text.mid(n).trimmed();
        auto err = [&](const QString& m) { throw Failure{ParseError{file, line, m}}; };

        if (name == u"if" || name == u"ifdef" || name == u"ifndef") {
            if (m_conds.size() > 256)
                err(QStringLiteral("#if nested too deeply"));
            bool v = false;
            if (!active())
                v = false;
            else if (name == u"if")
                v = condition(rest, file, line);
            else
                v = (m_symbols.count(firstWord(rest, file, line)) != 0) == (name == u"ifdef");
            m_conds.push_back({v, v, false});
            return;
        }
        if (name == u"elif" || name == u"else" || name == u"endif") {
            if (m_conds.empty())
                err(QStringLiteral("#%1 without #if").arg(name));
            Cond& c = m_conds.back();
            if (name == u"endif") {
                m_conds.pop_back();
                return;
            }
            if (c.sawElse)
                err(QStringLiteral("#%1 after #else").arg(name));
            m_conds.pop_back();
            const bool outer = active();
            if (name == u"else") {
                c.sawElse = true;
                c.active = outer && !c.taken;
            } else {
                c.active = outer && !c.taken && condition(rest, file, line);
            }
            c.taken = c.taken || c.active;
            m_conds.push_back(c);
            return;
        }
        if (!active())
            return;
        if (name == u"include") {
            QString inc = rest;
            if (inc.size() >= 2 && ((inc.front() == u'"' && inc.back() == u'"') || (inc.front() == u'<' && inc.back() == u'>')))
                inc = inc.mid(1, inc.size() - 2);
            else
                err(QStringLiteral("expected a file name in quotes or angle brackets after #include"));
            if (isSystemHeader(inc))
                return;
            std::optional<QString> content = m_includes ? m_includes(inc, file) : std::nullopt;
            if (!content)
                err(QStringLiteral("cannot open include file '%1'").arg(inc));
            push(*content, QFileInfo(inc).isAbsolute() ? inc : joinPath(file, inc));
            return;
        }
        if (name == u"define") {
            qsizetype i = 0;
            while (i < rest.size() && (rest[i].isLetterOrNumber() || rest[i] == u'_'))
                ++i;
            const QString sym = rest.left(i);
            if (sym.isEmpty())
                err(QStringLiteral("expected a name after #define"));
            if (i < rest.size() && rest[i] == u'(')
                return; // function-like macros have no place in ids
            const QString value = rest.mid(i).trimmed();
            if (value.isEmpty()) {
                m_symbols[sym] = 1;
                return;
            }
            if (auto v = evaluateText(value, file, line, false))
                m_symbols[sym] = *v;
            return;
        }
        if (name == u"undef") {
            m_symbols.erase(firstWord(rest, file, line));
            return;
        }
        if (name == u"error")
            err(QStringLiteral("#error %1").arg(rest));
        // #pragma, #line and anything else: nothing a dialog needs
    }

    static QString joinPath(const QString& from, const QString& name)
    {
        const QFileInfo fi(from);
        return fi.path() == u"." ? name : fi.path() + u'/' + name;
    }

    static QString firstWord(const QString& rest, const QString& file, int line)
    {
        qsizetype i = 0;
        while (i < rest.size() && (rest[i].isLetterOrNumber() || rest[i] == u'_'))
            ++i;
        if (i == 0)
            throw Failure{ParseError{file, line, QStringLiteral("expected a name")}};
        return rest.left(i);
    }

    bool condition(const QString& expr, const QString& file, int line)
    {
        auto v = evaluateText(expr, file, line, true);
        if (!v)
            throw Failure{ParseError{file, line, QStringLiteral("expected a constant expression after #if")}};
        return *v != 0;
    }

    // Evaluates a directive's expression; nullopt when it is not one.
    std::optional<int64_t> evaluateText(const QString& expr, const QString& file, int line, bool inIf);

    std::map<QString, int64_t>& m_symbols;
    const IncludeLoader& m_includes;
    const bool m_preprocess;
    std::vector<std::unique_ptr<Source>> m_sources;
    int m_includeCount = 0;
    qsizetype m_sourceChars = 0;
    std::deque<Token> m_ahead;
    std::vector<Cond> m_conds;
    std::deque<QString> m_fileNames; // of every source pushed; tokens point at them
    QString m_lastFile;
    int m_lastLine = 0;
    mutable const QString* m_endFile = nullptr;
    mutable int m_endLine = 1;
};

// Integer expressions of C, over the token stream. In #if, unknown names are
// 0 and defined(X) works; elsewhere an unknown name is an error.
class Evaluator {
public:
    Evaluator(Lexer& lex, bool inIf, bool stopAtBar) : m_lex(lex), m_inIf(inIf), m_stopAtBar(stopAtBar) {}

    int64_t expression() { return binary(0, 0); }

private:
    static int precedence(const Token& t, bool stopAtBar)
    {
        // || && | ^ & == != < > <= >= << >> + - * / %, loosest first
        if (t.kind != Tok::Punct || t.text.isEmpty() || t.text.size() > 2)
            return -1;
        const char16_t a = t.text[0].unicode();
        const char16_t b = t.text.size() > 1 ? t.text[1].unicode() : 0;
        int p = -1;
        switch (a) {
        case u'|': p = b == u'|' ? 1 : b == 0 ? 3 : -1; break;
        case u'&': p = b == u'&' ? 2 : b == 0 ? 5 : -1; break;
        case u'^': p = b == 0 ? 4 : -1; break;
        case u'=':
        case u'!': p = b == u'=' ? 6 : -1; break;
        case u'<': p = b == 0 || b == u'=' ? 7 : b == u'<' ? 8 : -1; break;
        case u'>': p = b == 0 || b == u'=' ? 7 : b == u'>' ? 8 : -1; break;
        case u'+':
        case u'-': p = b == 0 ? 9 : -1; break;
        case u'*':
        case u'/':
        case u'%': p = b == 0 ? 10 : -1; break;
        default: break;
        }
        if (p < 0)
            return -1;
        return (stopAtBar && p <= 3) ? -1 : p;
    }

    int64_t binary(int minPrec, int depth)
    {
        int64_t lhs = unary(depth + 1);
        for (;;) {
            const Token& op = m_lex.peek();
            const int p = precedence(op, m_stopAtBar);
            if (p < 0 || p < minPrec)
                return lhs;
            const QString o = m_lex.take().text;
            const int64_t rhs = binary(p + 1, depth + 1);
            lhs = apply(o, lhs, rhs);
        }
    }

    static int64_t apply(const QString& o, int64_t a, int64_t b)
    {
        const uint64_t ua = uint64_t(a), ub = uint64_t(b);
        if (o == u"+") return int64_t(ua + ub);
        if (o == u"-") return int64_t(ua - ub);
        if (o == u"*") return int64_t(ua * ub);
        if (o == u"/") return b == 0 || (a == INT64_MIN && b == -1) ? 0 : a / b;
        if (o == u"%") return b == 0 || (a == INT64_MIN && b == -1) ? 0 : a % b;
        if (o == u"<<") return int64_t(ua << (ub & 63));
        if (o == u">>") return int64_t(ua >> (ub & 63));
        if (o == u"&") return a & b;
        if (o == u"|") return a | b;
        if (o == u"^") return a ^ b;
        if (o == u"&&") return a && b;
        if (o == u"||") return a || b;
        if (o == u"==") return a == b;
        if (o == u"!=") return a != b;
        if (o == u"<") return a < b;
        if (o == u">") return a > b;
        if (o == u"<=") return a <= b;
        if (o == u">=") return a >= b;
        return 0;
    }

    int64_t unary(int depth)
    {
        if (depth > kMaxExprDepth)
            m_lex.failAt(m_lex.peek(), QStringLiteral("expression nested too deeply"));
        const Token& t = m_lex.peek();
        if (t.is("-")) { m_lex.take(); return int64_t(0 - uint64_t(unary(depth + 1))); }
        if (t.is("+")) { m_lex.take(); return unary(depth + 1); }
        if (t.is("~")) { m_lex.take(); return ~unary(depth + 1); }
        if (t.is("!")) { m_lex.take(); return !unary(depth + 1); }
        if (t.is("(")) {
            m_lex.take();
            const int64_t v = binary(0, depth + 1);
            m_lex.expect(")", "to close the parenthesis");
            return v;
        }
        if (t.kind == Tok::Number)
            return m_lex.take().value;
        if (t.kind == Tok::Ident) {
            const Token name = m_lex.take();
            if (m_inIf && name.text == u"defined") {
                const bool paren = m_lex.accept("(");
                const Token sym = m_lex.take();
                if (sym.kind != Tok::Ident)
                    m_lex.failAt(sym, QStringLiteral("expected a name after defined"));
                if (paren)
                    m_lex.expect(")", "after defined(name");
                return m_lex.symbols().count(sym.text) ? 1 : 0;
            }
            auto it = m_lex.symbols().find(name.text);
            if (it != m_lex.symbols().end())
                return it->second;
            if (m_inIf)
                return 0;
            m_lex.failAt(name, QStringLiteral("undefined symbol '%1'").arg(name.text));
        }
        m_lex.failAt(t, QStringLiteral("expected a number or a symbol, found %1").arg(t.describe()));
    }

    Lexer& m_lex;
    bool m_inIf;
    bool m_stopAtBar;
};

std::optional<int64_t> Lexer::evaluateText(const QString& expr, const QString& file, int line, bool inIf)
{
    IncludeLoader none;
    Lexer sub(m_symbols, none, false);
    sub.push(expr, file);
    try {
        Evaluator ev(sub, inIf, false);
        const int64_t v = ev.expression();
        if (sub.peek().kind != Tok::End)
            return std::nullopt;
        return v;
    } catch (const Failure&) {
        if (inIf)
            throw Failure{ParseError{file, line, QStringLiteral("expected a constant expression after #if")}};
        return std::nullopt; // a #define that is no number (a string, a type) names nothing we need
    }
}

class Parser {
public:
    Parser(const QString& text, const QString& fileName, const IncludeLoader& includes)
        : m_lex(m_script.symbols, includes, true)
    {
        for (const auto& [k, v] : predefinedSymbols())
            m_script.symbols[k] = v;
        m_lex.push(text, fileName);
    }

    ResourceScript run()
    {
        for (;;) {
            const Token t = m_lex.take();
            if (t.kind == Tok::End)
                break;
            if (t.word("STRINGTABLE")) {
                stringTable();
                continue;
            }
            if (t.word("LANGUAGE") || t.word("VERSION") || t.word("CHARACTERISTICS")) {
                skipRestOfLine(t);
                continue;
            }
            if (t.kind != Tok::Ident && t.kind != Tok::Number && t.kind != Tok::String)
                m_lex.failAt(t, QStringLiteral("expected a resource name or STRINGTABLE, found %1").arg(t.describe()));
            const Token type = m_lex.take();
            if (type.word("DIALOGEX") || type.word("DIALOG"))
                dialog(t);
            else if (type.kind == Tok::Ident || type.kind == Tok::Number)
                skipResource(type);
            else
                m_lex.failAt(type, QStringLiteral("expected a resource type after '%1', found %2").arg(t.text, type.describe()));
        }
        return std::move(m_script);
    }

private:
    int64_t expr() { return Evaluator(m_lex, false, false).expression(); }

    // A style: terms joined by '|', each optionally preceded by NOT.
    uint32_t styleExpr(uint32_t defaults)
    {
        uint32_t on = 0, off = 0;
        do {
            const bool negate = m_lex.peek().word("NOT");
            if (negate)
                m_lex.take();
            const uint32_t v = uint32_t(Evaluator(m_lex, false, true).expression());
            (negate ? off : on) |= v;
        } while (m_lex.accept("|"));
        return (defaults | on) & ~off;
    }

    void comma(const char* what) { m_lex.expect(",", what); }

    // LANGUAGE, VERSION and CHARACTERISTICS: their arguments (symbols of
    // winnt.h and the like) stand on the keyword's line and mean nothing here.
    void skipRestOfLine(const Token& keyword)
    {
        while (m_lex.peek().kind != Tok::End && m_lex.peek().line == keyword.line && m_lex.peek().sameFile(keyword) &&
               !isBegin(m_lex.peek()))
            m_lex.take();
    }

    bool isBegin(const Token& t) const { return t.word("BEGIN") || t.is("{"); }
    bool isEnd(const Token& t) const { return t.word("END") || t.is("}"); }

    void skipBlock()
    {
        const Token open = m_lex.take(); // BEGIN
        int depth = 1;
        while (depth > 0) {
            const Token t = m_lex.take();
            if (t.kind == Tok::End)
                m_lex.failAt(open, QStringLiteral("expected END to close the block begun here"));
            if (isBegin(t))
                ++depth;
            else if (isEnd(t))
                --depth;
        }
    }

    // Resources a dialog program has no use for: icons and bitmaps by file,
    // menus, accelerators, version information, designer data.
    void skipResource(const Token& type)
    {
        static const QStringList fileForms{"ICON", "BITMAP", "CURSOR", "FONT", "HTML", "RT_MANIFEST",
                                           "MESSAGETABLE", "PNG", "AVI", "WAVE", "REGISTRY", "TYPELIB"};
        bool sameLine = false, sawString = false;
        while (m_lex.peek().kind != Tok::End && m_lex.peek().line == type.line && m_lex.peek().sameFile(type) &&
               !isBegin(m_lex.peek())) {
            sawString = sawString || m_lex.peek().kind == Tok::String;
            m_lex.take();
            sameLine = true;
        }
        if (isBegin(m_lex.peek())) {
            skipBlock();
            return;
        }
        if ((sameLine && sawString) || type.kind == Tok::Number || fileForms.contains(type.text))
            return;
        // optional statements on the following lines, then the block
        for (;;) {
            const Token& t = m_lex.peek();
            if (t.kind == Tok::End)
                m_lex.failAt(type, QStringLiteral("expected BEGIN after %1").arg(type.text));
            if (isBegin(t)) {
                skipBlock();
                return;
            }
            m_lex.take();
        }
    }

    QString textArgument()
    {
        const Token t = m_lex.take();
        if (t.kind == Tok::String || t.kind == Tok::Ident || t.kind == Tok::Number)
            return t.text;
        m_lex.failAt(t, QStringLiteral("expected the control's text, found %1").arg(t.describe()));
    }

    int idArgument(QString& name)
    {
        const Token& t = m_lex.peek();
        if (t.kind == Tok::Ident && m_lex.peek(1).is(","))
            name = t.text;
        return int(expr());
    }

    void dialog(const Token& nameTok)
    {
        DialogTemplate d;
        d.fileName = nameTok.fileName();
        d.line = nameTok.line;
        if (nameTok.kind == Tok::Number) {
            d.id = int(nameTok.value);
        } else if (nameTok.kind == Tok::Ident) {
            auto v = m_script.symbol(nameTok.text);
            if (!v)
                m_lex.failAt(nameTok, QStringLiteral("undefined dialog id '%1' (expected a number or a name from resource.h)").arg(nameTok.text));
            d.id = int(*v);
            d.idName = nameTok.text;
        } else {
            m_lex.failAt(nameTok, QStringLiteral("expected a numeric dialog id, found a string"));
        }
        while (m_lex.peek().kind == Tok::Ident && isMemoryFlag(m_lex.peek().text))
            m_lex.take();
        const int x = word16(expr());
        comma("after the dialog's x");
        const int y = word16(expr());
        comma("after the dialog's y");
        const int w = word16(expr());
        comma("after the dialog's width");
        const int h = word16(expr());
        if (m_lex.accept(","))
            expr(); // help id
        d.rect = QRect(x, y, w, h);
        d.style = style::WS_POPUP | style::WS_BORDER | style::WS_SYSMENU;
        bool captionSeen = false;
        for (;;) {
            const Token t = m_lex.peek();
            if (isBegin(t))
                break;
            if (t.kind != Tok::Ident)
                m_lex.failAt(t, QStringLiteral("expected BEGIN or a dialog option (CAPTION, STYLE, EXSTYLE, FONT), found %1").arg(t.describe()));
            m_lex.take();
            if (t.word("CAPTION")) {
                const Token s = m_lex.take();
                if (s.kind != Tok::String)
                    m_lex.failAt(s, QStringLiteral("expected a string after CAPTION, found %1").arg(s.describe()));
                d.caption = s.text;
                captionSeen = true;
            } else if (t.word("STYLE")) {
                d.style = styleExpr(0);
            } else if (t.word("EXSTYLE")) {
                d.exStyle = styleExpr(0);
            } else if (t.word("FONT")) {
                d.fontPointSize = word16(expr());
                comma("after the font size");
                const Token s = m_lex.take();
                if (s.kind != Tok::String)
                    m_lex.failAt(s, QStringLiteral("expected the font name in quotes, found %1").arg(s.describe()));
                d.fontName = s.text;
                for (int i = 0; i < 3 && m_lex.accept(","); ++i)
                    expr();
            } else if (t.word("CLASS") || t.word("MENU")) {
                const Token s = m_lex.take();
                if (s.kind == Tok::End)
                    m_lex.failAt(s, QStringLiteral("expected a name after %1").arg(t.text));
            } else if (t.word("LANGUAGE") || t.word("VERSION") || t.word("CHARACTERISTICS")) {
                skipRestOfLine(t);
            } else {
                m_lex.failAt(t, QStringLiteral("expected BEGIN or a dialog option (CAPTION, STYLE, EXSTYLE, FONT), found %1").arg(t.describe()));
            }
        }
        if (captionSeen)
            d.style |= style::WS_CAPTION;
        m_lex.take(); // BEGIN
        for (;;) {
            const Token t = m_lex.peek();
            if (isEnd(t)) {
                m_lex.take();
                break;
            }
            if (t.kind == Tok::End)
                m_lex.failAt(t, QStringLiteral("expected END to close dialog '%1'").arg(nameTok.text));
            if (t.kind != Tok::Ident)
                m_lex.failAt(t, QStringLiteral("expected a control statement or END, found %1").arg(t.describe()));
            m_lex.take();
            d.controls.push_back(control(t));
        }
        m_script.dialogs[d.id] = std::move(d);
    }

    ControlTemplate control(const Token& kw)
    {
        using namespace style;
        struct Kind {
            const char* word;
            const char* cls;
            uint32_t defaults;
            bool hasText;
        };
        static const Kind kinds[] = {
            {"LTEXT", "Static", SS_LEFT | WS_GROUP, true},
            {"RTEXT", "Static", SS_RIGHT | WS_GROUP, true},
            {"CTEXT", "Static", SS_CENTER | WS_GROUP, true},
            {"ICON", "Static", SS_ICON, true},
            {"PUSHBUTTON", "Button", BS_PUSHBUTTON | WS_TABSTOP, true},
            {"DEFPUSHBUTTON", "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, true},
            {"PUSHBOX", "Button", BS_PUSHBOX | WS_TABSTOP, true},
            {"GROUPBOX", "Button", BS_GROUPBOX, true},
            {"AUTORADIOBUTTON", "Button", BS_AUTORADIOBUTTON | WS_TABSTOP, true},
            {"RADIOBUTTON", "Button", BS_RADIOBUTTON | WS_TABSTOP, true},
            {"AUTOCHECKBOX", "Button", BS_AUTOCHECKBOX | WS_TABSTOP, true},
            {"CHECKBOX", "Button", BS_CHECKBOX | WS_TABSTOP, true},
            {"STATE3", "Button", BS_3STATE | WS_TABSTOP, true},
            {"AUTO3STATE", "Button", BS_AUTO3STATE | WS_TABSTOP, true},
            {"EDITTEXT", "Edit", WS_BORDER | WS_TABSTOP, false},
            {"LISTBOX", "ListBox", LBS_NOTIFY | WS_BORDER, false},
            {"COMBOBOX", "ComboBox", CBS_SIMPLE | WS_TABSTOP, false},
            {"SCROLLBAR", "ScrollBar", 0, false},
        };
        ControlTemplate c;
        c.statement = kw.text;
        c.line = kw.line;
        constexpr uint32_t base = WS_CHILD | WS_VISIBLE;
        if (kw.word("CONTROL")) {
            c.text = textArgument();
            comma("after the control's text");
            c.id = idArgument(c.idName);
            comma("after the control id");
            const Token cls = m_lex.take();
            if (cls.kind == Tok::String) {
                c.className = cls.text;
            } else if (cls.kind == Tok::Ident && !controlClassFor(cls.text).isEmpty()) {
                c.className = controlClassFor(cls.text);
            } else if (cls.kind == Tok::Number) {
                static const char* atoms[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
                if (cls.value < 0x80 || cls.value > 0x85)
                    m_lex.failAt(cls, QStringLiteral("unknown control class %1").arg(cls.text));
                c.className = QLatin1String(atoms[cls.value - 0x80]);
            } else {
                m_lex.failAt(cls, QStringLiteral("expected the control's class name in quotes, found %1").arg(cls.describe()));
            }
            comma("after the class name");
            c.style = styleExpr(base);
            comma("after the control style");
            c.rect = rect();
            if (m_lex.accept(","))
                c.exStyle = styleExpr(0);
            return c;
        }
        for (const Kind& k : kinds) {
            if (!kw.word(QLatin1StringView(k.word)))
                continue;
            c.className = QLatin1String(k.cls);
            if (k.hasText) {
                c.text = textArgument();
                comma("after the control's text");
            }
            c.id = idArgument(c.idName);
            comma("after the control id");
            if (kw.word("ICON")) { // width and height are optional here
                const int x = word16(expr());
                comma("after x");
                const int y = word16(expr());
                c.rect = QRect(x, y, 0, 0);
                if (m_lex.accept(",")) {
                    const int w = word16(expr());
                    comma("after the width");
                    c.rect = QRect(x, y, w, word16(expr()));
                } else {
                    c.style = base | k.defaults;
                    return c;
                }
            } else {
                c.rect = rect();
            }
            c.style = base | k.defaults;
            if (m_lex.accept(",")) {
                c.style = styleExpr(base | k.defaults);
                if (m_lex.accept(","))
                    c.exStyle = styleExpr(0);
            }
            return c;
        }
        m_lex.failAt(kw, QStringLiteral("expected a control statement (LTEXT, EDITTEXT, CONTROL, ...) or END, found '%1'").arg(kw.text));
    }

    QRect rect()
    {
        const int x = word16(expr());
        comma("after x");
        const int y = word16(expr());
        comma("after y");
        const int w = word16(expr());
        comma("after the width");
        const int h = word16(expr());
        return QRect(x, y, w, h);
    }

    void stringTable()
    {
        for (;;) {
            const Token& t = m_lex.peek();
            if (isBegin(t))
                break;
            if (t.word("LANGUAGE") || t.word("VERSION") || t.word("CHARACTERISTICS")) {
                skipRestOfLine(m_lex.take());
            } else if (t.kind == Tok::Ident && isMemoryFlag(t.text)) {
                m_lex.take();
            } else {
                m_lex.failAt(t, QStringLiteral("expected BEGIN after STRINGTABLE, found %1").arg(t.describe()));
            }
        }
        m_lex.take();
        for (;;) {
            const Token& t = m_lex.peek();
            if (isEnd(t)) {
                m_lex.take();
                return;
            }
            if (t.kind == Tok::End)
                m_lex.failAt(t, QStringLiteral("expected END to close the STRINGTABLE"));
            const int id = int(expr());
            m_lex.accept(",");
            const Token s = m_lex.take();
            if (s.kind != Tok::String)
                m_lex.failAt(s, QStringLiteral("expected a string after string id %1, found %2").arg(id).arg(s.describe()));
            m_script.strings[id] = s.text;
        }
    }

    ResourceScript m_script;
    Lexer m_lex;
};

QString decodeScript(const QByteArray& bytes)
{
    // The resource editor writes UTF-16LE with a byte order mark; hand-written
    // scripts are UTF-8.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        auto dec = QStringDecoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return dec(bytes.mid(2));
    }
    return QString::fromUtf8(bytes);
}

std::optional<QString> readText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decodeScript(f.readAll());
}

} // namespace

ParseResult parseResourceScript(const QString& text, const QString& fileName, const IncludeLoader& includes)
{
    ParseResult r;
    try {
        Parser p(text, fileName, includes);
        r.script = p.run();
    } catch (const Failure& f) {
        r.error = f.error;
    } catch (const std::exception& e) { // allocation failure on absurd input
        r.error = ParseError{fileName, 0, QString::fromLocal8Bit(e.what())};
    }
    return r;
}

IncludeLoader folderIncludeLoader(const QStringList& extraFolders)
{
    return [extraFolders](const QString& name, const QString& fromFile) -> std::optional<QString> {
        QString wanted = name;
        wanted.replace(u'\\', u'/');
        QStringList folders{QFileInfo(fromFile).path()};
        folders += extraFolders;
        for (const QString& folder : folders) {
            const QString candidate = QFileInfo(wanted).isAbsolute() ? wanted : folder + u'/' + wanted;
            if (auto t = readText(candidate))
                return t;
            // The platform's file names ignore case: look for a case-insensitive match.
            const QFileInfo fi(candidate);
            const QDir dir(fi.path());
            for (const QString& entry : dir.entryList(QDir::Files))
                if (entry.compare(fi.fileName(), Qt::CaseInsensitive) == 0)
                    if (auto t = readText(dir.filePath(entry)))
                        return t;
        }
        return std::nullopt;
    };
}

ParseResult parseResourceFile(const QString& path)
{
    auto text = readText(path);
    if (!text) {
        ParseResult r;
        r.error = ParseError{path, 0, QStringLiteral("cannot open the resource script")};
        return r;
    }
    return parseResourceScript(*text, path, folderIncludeLoader());
}

} // namespace ui
