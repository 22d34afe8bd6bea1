// A resource library built for the tests: a translated script whose ids come
// from an include it hands over itself, and one include it leaves to the
// program's own folder.
#include <cstdlib>
#include <cstring>

extern "C" __attribute__((visibility("default"))) const char* diag_resource_script()
{
    // A test may hand over a script of its own.
    if (const char* script = std::getenv("UI_TEST_LANG_SCRIPT"))
        return script;
    return "#include \"lang.h\"\n"
           "#include \"resource.h\"\n"
           "IDD_HELLO DIALOGEX 0, 0, 100, 40\n"
           "CAPTION \"Bonjour\"\n"
           "FONT 8, \"MS Shell Dlg\"\n"
           "BEGIN\n"
           "    LTEXT \"Fran\xC3\xA7" "ais\", IDC_TEXT, 5, 5, 90, 8\n"
           "END\n"
           "STRINGTABLE BEGIN IDS_ERROR \"Erreur de code.\" END\n";
}

extern "C" __attribute__((visibility("default"))) const char* diag_resource_file(const char* name)
{
    if (std::strcmp(name, "lang.h") == 0)
        return "#define IDS_ERROR 1102\n";
    return nullptr;
}
