#pragma once
// Resource scripts: the subset of the Windows resource-script grammar that
// dialog templates and string tables need. Widget-free: parsing yields plain
// data that ui::Dialog turns into controls.
//
// Standard control statements are normalised the way the resource compiler
// does it: LTEXT becomes class "Static" with SS_LEFT | WS_GROUP, PUSHBUTTON
// class "Button" with BS_PUSHBUTTON | WS_TABSTOP, and so on, so that only the
// class name and style decide which widget a control becomes.
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace ui {

struct ControlTemplate {
    QString statement;   // "LTEXT", "CONTROL", ... as written (upper case)
    QString className;   // "Static", "Button", "Edit", "ListBox", "ComboBox", "msctls_trackbar32", ...
    QString text;        // caption; for ICON the icon's resource name
    int id = -1;
    QString idName;      // the symbol the script used, if any
    QRect rect;          // dialog units, relative to the dialog's client area
    uint32_t style = 0;  // after defaults, '|' and NOT
    uint32_t exStyle = 0;
    int line = 0;

    bool hasStyle(uint32_t flags) const { return (style & flags) == flags; }
    bool operator==(const ControlTemplate&) const = default;
};

struct DialogTemplate {
    int id = 0;
    QString idName;
    QRect rect;              // dialog units
    QString caption;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    QString fontName;        // empty: the system dialog font
    int fontPointSize = 8;
    std::vector<ControlTemplate> controls;
    QString fileName;
    int line = 0;

    const ControlTemplate* control(int controlId) const;
    bool operator==(const DialogTemplate&) const = default;
};

struct ParseError {
    QString file;
    int line = 0;
    QString message;
    // "file(line): message", the resource compiler's own format
    QString toString() const;
};

struct ResourceScript {
    std::map<int, DialogTemplate> dialogs;
    std::map<int, QString> strings;
    std::map<QString, int64_t> symbols; // #define NAME value, from the script and its includes

    const DialogTemplate* dialog(int id) const;
    std::optional<QString> string(int id) const;
    std::optional<int64_t> symbol(const QString& name) const;
    bool operator==(const ResourceScript&) const = default;
};

// Supplies the text of an #include: the name as written and the including
// file's name; nullopt when it cannot be found.
using IncludeLoader = std::function<std::optional<QString>(const QString& name, const QString& fromFile)>;

struct ParseResult {
    std::optional<ResourceScript> script; // set on success
    ParseError error;                     // set on failure
    bool ok() const { return script.has_value(); }
};

// Never throws; bounded in time and depth for any input. System headers
// (windows.h, afxres.h, winres.h, commctrl.h, ...) need no loader: their
// symbols are predefined.
ParseResult parseResourceScript(const QString& text, const QString& fileName, const IncludeLoader& includes = {});

// Reads a script from a file (or a Qt resource path such as ":/res/x.rc");
// includes are looked up beside the including file.
ParseResult parseResourceFile(const QString& path);

// An include loader that looks in the including file's folder, then in each
// of the given folders.
IncludeLoader folderIncludeLoader(const QStringList& extraFolders = {});

// Window style constants the factory and screens test against.
namespace style {
constexpr uint32_t WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000, WS_CHILD = 0x40000000,
                   WS_POPUP = 0x80000000, WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000,
                   WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_SYSMENU = 0x00080000,
                   WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000;
constexpr uint32_t ES_CENTER = 0x1, ES_RIGHT = 0x2, ES_MULTILINE = 0x4, ES_UPPERCASE = 0x8,
                   ES_LOWERCASE = 0x10, ES_PASSWORD = 0x20, ES_READONLY = 0x800, ES_NUMBER = 0x2000;
constexpr uint32_t BS_TYPEMASK = 0xF, BS_PUSHBUTTON = 0, BS_DEFPUSHBUTTON = 1, BS_CHECKBOX = 2,
                   BS_AUTOCHECKBOX = 3, BS_RADIOBUTTON = 4, BS_3STATE = 5, BS_AUTO3STATE = 6,
                   BS_GROUPBOX = 7, BS_AUTORADIOBUTTON = 9, BS_PUSHBOX = 0xA, BS_LEFTTEXT = 0x20,
                   BS_MULTILINE = 0x2000, BS_PUSHLIKE = 0x1000;
constexpr uint32_t SS_TYPEMASK = 0x1F, SS_LEFT = 0, SS_CENTER = 1, SS_RIGHT = 2, SS_ICON = 3,
                   SS_BLACKRECT = 4, SS_GRAYRECT = 5, SS_WHITERECT = 6, SS_BLACKFRAME = 7,
                   SS_GRAYFRAME = 8, SS_WHITEFRAME = 9, SS_SIMPLE = 0xB, SS_LEFTNOWORDWRAP = 0xC,
                   SS_BITMAP = 0xE, SS_ETCHEDHORZ = 0x10, SS_ETCHEDVERT = 0x11, SS_ETCHEDFRAME = 0x12,
                   SS_NOPREFIX = 0x80, SS_NOTIFY = 0x100, SS_CENTERIMAGE = 0x200, SS_SUNKEN = 0x1000;
constexpr uint32_t LBS_NOTIFY = 0x1, LBS_SORT = 0x2, LBS_MULTIPLESEL = 0x8, LBS_EXTENDEDSEL = 0x800,
                   LBS_DISABLENOSCROLL = 0x1000, LBS_NOSEL = 0x4000;
constexpr uint32_t CBS_TYPEMASK = 0x3, CBS_SIMPLE = 1, CBS_DROPDOWN = 2, CBS_DROPDOWNLIST = 3,
                   CBS_SORT = 0x100, CBS_UPPERCASE = 0x2000, CBS_LOWERCASE = 0x4000;
constexpr uint32_t TBS_AUTOTICKS = 0x1, TBS_VERT = 0x2, TBS_TOP = 0x4, TBS_BOTH = 0x8,
                   TBS_NOTICKS = 0x10, TBS_NOTHUMB = 0x80;
constexpr uint32_t PBS_VERTICAL = 0x4;
constexpr uint32_t SBS_VERT = 0x1;
constexpr uint32_t DS_SETFONT = 0x40, DS_MODALFRAME = 0x80, DS_CONTROL = 0x400, DS_CENTER = 0x800;
constexpr uint32_t WS_EX_CLIENTEDGE = 0x200, WS_EX_STATICEDGE = 0x20000;
} // namespace style

} // namespace ui
