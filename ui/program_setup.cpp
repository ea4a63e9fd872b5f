// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/program_setup.h"

#include <QAccessibleObject>
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// WenQuanYi Micro Hei gives every character of the window and the report a glyph of its own;
// Noto Sans CJK shares glyphs between ideographs and Kangxi radicals (土 and ⼟), and a PDF
// writer then reads the radical back. Noto Sans CJK SC has the Chinese glyph forms.
constexpr char kFace[] = "WenQuanYi Micro Hei";
constexpr char kFallbackFace[] = "Noto Sans CJK SC";

// Whether the pinned face is installed or loaded. Qt's own list of families, not
// QFontDatabase::hasFamily, which first has fontconfig resolve the name as an alias.
bool face_at_hand() {
    return QFontDatabase::families().contains(QLatin1String(kFace), Qt::CaseInsensitive);
}

// The program as screen readers see it. Qt 6.4 names it by the application name, which is also
// the X11 window class ("zhuheng"); this names it by the display name.
class AnnouncedProgram : public QAccessibleApplication {
public:
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? QGuiApplication::applicationDisplayName()
                                      : QAccessibleApplication::text(t);
    }
};

QAccessibleInterface* announced_program(const QString&, QObject* object) {
    return object == QCoreApplication::instance() ? new AnnouncedProgram : nullptr;
}

} // namespace

QFont pinned_face(const QFont& font) {
    QFont face = font;
    // Qt looks up the fallback faces of a font that names a second family as soon as it loads
    // the font, sorting every installed face once for each script (a twentieth of the start-up);
    // for a font of one family it looks them up only for a character the face lacks.
    QStringList families{QString::fromLatin1(kFace)};
    if (!face_at_hand()) {
        families << QString::fromLatin1(kFallbackFace);
    }
    face.setFamilies(families);
#ifndef Q_OS_WIN
    // Unhinted, as the face's own fontconfig rule asks (Debian's fonts-wqy-microhei turns hinting
    // off for it; Qt 6.4 reads only the hint style) and as other toolkits draw it. Hinted, each
    // glyph went twice through FreeType's autohinter: an eighth of the start-up. On Windows a
    // hinting preference would move the window from GDI's font engine to DirectWrite's.
    face.setHintingPreference(QFont::PreferNoHinting);
#endif
    return face;
}

void setup_program(QApplication& app) {
    // Without the file the program still starts, with Qt's texts in English.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
    // Without the file the program still starts, in the next face of the list or the system's.
    if (!face_at_hand()) {
        QFontDatabase::addApplicationFont(QCoreApplication::applicationDirPath() +
                                          QStringLiteral("/" ZHUHENG_FACE_FILE_NAME));
    }
    QApplication::setFont(pinned_face(QApplication::font()));
    // The X11 window class, matched by StartupWMClass of the desktop entry.
    QCoreApplication::setApplicationName(QStringLiteral("zhuheng"));
    // The name screen readers announce. X11 adds it to every window title that does not end
    // with it, so the window's caption, exactly 筑衡, stays as it is.
    QGuiApplication::setApplicationDisplayName(QStringLiteral("筑衡"));
    QAccessible::installFactory(announced_program);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
}
