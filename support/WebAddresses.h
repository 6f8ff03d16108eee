#pragma once

// The product's own web pages, opened by the Web and Help menus and the
// About box.

#include <QString>

namespace support {

inline const QString PRODUCT_HOME_PAGE = QStringLiteral("https://quillmoth.example.org/");
inline const QString PRODUCT_DOCUMENTATION_PAGE =
    QStringLiteral("https://quillmoth.example.org/docs/");
inline const QString MAKER_HOME_PAGE = QStringLiteral("https://tarnwick.example.org/");

} // namespace support
