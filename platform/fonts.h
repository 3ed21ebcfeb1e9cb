#pragma once
// The program's texts ask for the Windows font families "宋体", "黑体", "微软雅黑",
// "幼圆", "Arial" and "Arial Black". These are mapped onto installed fonts once at
// start-up so that Chinese never falls back to a Latin-only face.

class QFont;
class QString;

namespace platform {

// Installs the family substitutions; safe to call more than once.
void InstallFontSubstitutions();

// A font of the given family and pixel or point size, with the weight the family
// implies ("Arial Black" has no installed face of its own, so it gets a black weight).
QFont MakeFont(const QString& family, int pointSize);

// The same for a size in pixels, bold on request.
QFont MakePixelFont(const char* family, int pixels, bool bold = false);

} // namespace platform
