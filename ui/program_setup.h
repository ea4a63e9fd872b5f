// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;
class QFont;

// The desktop entry's ID, which is also the Wayland app ID.
inline constexpr char kDesktopFileName[] = "org.zhuheng.Zhuheng";

// Start-up of the program before its window is made: Qt's own texts (dialogs, buttons, context
// menus) in Simplified Chinese whatever the locale, one pinned face for the window, its dialogs
// and the printed report (from the file beside the program where no installed face has its
// family, as on Windows), and the names the desktop knows the program by.
void setup_program(QApplication& app);

// The pinned face at `font`'s size, unhinted: a Simplified-Chinese face whose glyphs are all
// distinct, so that a PDF's text reads back exactly; where that face is neither installed nor
// loaded, then a fallback with Chinese glyph forms.
QFont pinned_face(const QFont& font);
