#pragma once
// Page bytes for the viewer's tests, worked out letter by letter so that the fixtures do
// not depend on the converters under test.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace page_fixtures {

// Windows-1251 bytes of a text.
inline QByteArray Cp1251(const QString& text) {
    QByteArray bytes;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            bytes += static_cast<char>(u);
        } else if (u >= u'А' && u <= u'я') {
            bytes += static_cast<char>(0xC0 + (u - u'А'));
        } else if (u == u'ё') {
            bytes += '\xB8';
        } else if (u == u'Ё') {
            bytes += '\xA8';
        } else if (u == u'—') {
            bytes += '\x97';
        } else {
            qFatal("no Windows-1251 byte for U+%04X in the fixture", unsigned(u));
        }
    }
    return bytes;
}

inline QByteArray Utf16(const QString& text, bool bigEndian) {
    QByteArray bytes;
    for (const QChar c : text) {
        const char high = static_cast<char>(c.unicode() >> 8);
        const char low = static_cast<char>(c.unicode() & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

}  // namespace page_fixtures
