#pragma once

#include <QIcon>

namespace inkvale {

// `icon` as it is wherever it stands out against the palette's button colour; where it does
// not (the style's black close cross on a dark theme's button), its shape drawn in the button
// text colour. Judged at every paint, so a change of theme shows at once. A null icon stays
// null.
QIcon readableButtonIcon(const QIcon &icon);

} // namespace inkvale
