#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// Colours and fonts shared by the logo and the help picture: the window's own (white ground,
// Calibri, grey buttons) and the maker's blue.
namespace style {

inline const QColor kInk(40, 40, 40);
inline const QColor kBrand(22, 74, 128);
inline const QColor kAccent(232, 120, 30);
inline const QColor kMuted(96, 96, 96);
inline const QColor kRule(200, 208, 218);
inline const QColor kPanel(243, 246, 250);
inline const QColor kSelection(255, 192, 192);

// The window's font face at a pixel size. Where Calibri is missing the system's metric twin
// (Carlito) stands in.
inline QFont windowFont(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("Calibri"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

} // namespace style
