#pragma once

class QPalette;
class QWidget;

// Small window operations the other windows share.
namespace WindowUtils {
// Twips (1/1440 inch) per pixel on the primary screen, horizontally and vertically.
double twipsPerPixelX();
double twipsPerPixelY();
// The height of the system's panels at the top or bottom of the primary screen (what the
// screen keeps back from windows), in pixels and in twips.
int taskbarPixels();
int AltezzaTaskbar();
// Whether a palette is a dark one (light text on dark windows): colours the program fixes for
// a light desktop give way to the palette's own there.
bool isDarkPalette(const QPalette &palette);
// Keeps a window above all others, or no longer; the window is shown either way.
void SempreInPrimoPiano(QWidget *window, bool on);
} // namespace WindowUtils
