#pragma once
// A resource script in compiled form: the parsed templates, strings and
// symbols as bytes, made at build time from the program's built-in script
// and embedded beside it, so that a start reads data instead of parsing the
// script (the parse was the largest part of what a start itself does).
#include "ResourceScript.h"

#include <QByteArray>
#include <optional>

namespace ui {

QByteArray compileScript(const ResourceScript& script);

// nullopt for anything that is not a whole compiled script of this format
// version (the caller then parses the script itself).
std::optional<ResourceScript> readCompiledScript(const QByteArray& bytes);

// Where the build puts the compiled form of the embedded script `path`.
QString compiledScriptPath(const QString& path);

// The built-in script `path`: its compiled form when the build embedded one
// beside it (":/..." paths only; a script on disk is always parsed, since it
// may have been edited since), else the script parsed.
ParseResult readBuiltinScript(const QString& path);

} // namespace ui
