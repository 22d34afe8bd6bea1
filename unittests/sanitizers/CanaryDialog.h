#pragma once
// The canaries' window: one dialog with a "RUN" button (1022) whose click
// calls `handler`, built from a script of its own. Null when it could not be
// made.
#include <QApplication>
#include <functional>
#include <memory>

#include "ui/Dialog.h"
#include "ui/ResourceScript.h"
#include "ui/Resources.h"

inline std::unique_ptr<ui::Dialog> makeCanaryDialog(std::function<void()> handler)
{
    auto script = ui::parseResourceScript(
        QStringLiteral("1 DIALOGEX 0,0,100,40\nCAPTION \"Canary\"\nBEGIN\n  PUSHBUTTON \"RUN\",1022,5,5,50,14\nEND\n"),
        QStringLiteral("canary.rc"));
    if (!script.ok())
        return nullptr;
    ui::Resources::setBuiltin(std::move(*script.script));
    auto dlg = std::make_unique<ui::Dialog>(1);
    dlg->onCommand(1022, std::move(handler));
    if (!dlg->create())
        return nullptr;
    return dlg;
}
