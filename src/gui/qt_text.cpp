// SPDX-License-Identifier: MIT
#include "gui/qt_text.h"

#include <QFile>

#include "lang/messages.h"
#include "lang/texts.h"
#include "pages/page_converter.h"

namespace glossek {

QString from_cp1252(std::string_view text) {
    const std::string utf8 = cp1252_to_utf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

namespace {

// How a control character is shown: its visible symbol (U+2400 block), as in every page.
char32_t shown_control(char32_t ch) {
    return ch < 0x20 ? 0x2400 + ch : ch == 0x7F ? 0x2421 : ch;
}

// UTF-8 as the viewers and the grid show it: each ill-formed part as U+FFFD, one for each
// maximal subpart, as the conversion counts them.
QString from_utf8_page(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = at + bytes.size();
    while (at < end) {
        const Utf8Step step = utf8_step(at, end);
        const char32_t ch = step.code_point == Utf8Step::kInvalid ? char32_t{0xFFFD}
                                                                  : shown_control(step.code_point);
        if (ch >= 0x10000) {
            text += QChar(QChar::highSurrogate(ch));
            text += QChar(QChar::lowSurrogate(ch));
        } else {
            text += QChar(static_cast<char16_t>(ch));
        }
        at += step.length;
    }
    return text;
}

// Typed text as UTF-8. The symbols the grid shows for control bytes are those bytes, so a
// cell edited in the input box keeps them; U+FFFD stands for bytes that are not known and,
// as in the other pages, is left out, as are halves of surrogate pairs.
std::string to_utf8_page(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ch = text[i].unicode();
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(ch)) {
            continue;
        }
        if (ch >= 0x2400 && ch < 0x2420) {
            ch -= 0x2400;
        } else if (ch == 0x2421) {
            ch = 0x7F;
        } else if (ch == 0xFFFD) {
            continue;
        }
        append_utf8(bytes, ch);
    }
    return bytes;
}

}  // namespace

QString from_ansi_page(std::string_view bytes, const CodePagePair& pages) {
    if (pages.utf8()) {
        return from_utf8_page(bytes);
    }
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) {
        *out++ = QChar(pages.ansi_display[static_cast<unsigned char>(c)]);
    }
    return text;
}

QString from_page(std::string_view bytes, PageSide side, const CodePagePair& pages) {
    if (side == PageSide::Windows) {
        return from_ansi_page(bytes, pages);
    }
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) {
        const char16_t ch = pages.oem_chars[static_cast<unsigned char>(c)];
        *out++ = QChar(static_cast<char16_t>(shown_control(ch)));
    }
    return text;
}

std::string to_ansi_page(const QString& text, const CodePagePair& pages) {
    if (pages.utf8()) {
        return to_utf8_page(text);
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        int byte = ansi_byte_for(pages, ch.unicode());
        if (byte >= 0) {
            bytes += static_cast<char>(byte);
        }
    }
    return bytes;
}

QString from_file_name(const std::string& name) {
    return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

std::string to_file_name(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

QString shown_name(const std::string& name) {
    return QString::fromStdString(printable_name(name));
}

QString joined(const QString& first, const QString& second) {
    return first + QStringLiteral("\n\r") + second;
}

}  // namespace glossek
