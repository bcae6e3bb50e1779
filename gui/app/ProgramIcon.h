#pragma once

#include <QIcon>

namespace strikeline {

// The program's own picture for its windows: the sizes drawn from its SVG when the program
// was built, or the installed icon theme's copy when the program was built without them.
QIcon ProgramIcon();

} // namespace strikeline
