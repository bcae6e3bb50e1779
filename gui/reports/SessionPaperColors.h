#pragma once

#include "storage/PaperColors.h"

namespace strikeline {

class CSession;

// What the session's windows print in place of the colours they show: the stored scheme's
// (see CPaperColors), and the analytics' warning mark in its deep red again, as the light
// background it goes back to needs.
CPaperColors PaperColorsOf(CSession& session);

} // namespace strikeline
