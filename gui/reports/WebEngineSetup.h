#pragma once

namespace strikeline {

// Settings the embedded browser needs before the QApplication exists: a shared OpenGL
// context, and, when running as root, the browser's sandbox switched off (it refuses to
// start as root otherwise). Call it first thing in main().
void PrepareWebEngine();

} // namespace strikeline
