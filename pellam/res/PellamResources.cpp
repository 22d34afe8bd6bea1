#include "PellamResources.h"

#include "ui/Resources.h"

namespace pellam {

void installBuiltinResources()
{
    ui::Resources::setBuiltinScript(QString::fromLatin1(kBuiltinScript));
}

} // namespace pellam
