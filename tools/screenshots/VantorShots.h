#pragma once
// How every Vantor picture tool starts: the sample's Vantor.ini in the
// session's folder, the built-in resources, and the settings loaded from it.
#include <cstdio>
#include <QString>

#include "Shots.h"
#include "vantor/app/CVantorApp.h"
#include "vantor/res/VantorResources.h"

namespace shots {

// The loaded Vantor.ini's path, or empty (and a message) when it could not
// be set up.
inline QString startVantor(Session& session)
{
    const QString ini = session.copyFromSample(QStringLiteral("Vantor.ini"));
    if (ini.isEmpty())
        return ini;
    vantor::installBuiltinResources();
    if (!vantor::CVantorApp::LoadSettings(ini)) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(ini));
        return QString();
    }
    return ini;
}

} // namespace shots
