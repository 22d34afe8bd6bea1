#include "VantorResources.h"

#include "ui/Resources.h"

namespace vantor {

void installBuiltinResources()
{
    ui::Resources::setBuiltinScript(QString::fromLatin1(kBuiltinScript));
}

} // namespace vantor
