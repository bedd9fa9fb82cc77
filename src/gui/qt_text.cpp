#include "gui/qt_text.h"

#include <QFile>

#include "lang/messages.h"
#include "lang/texts.h"

namespace glossek {

QString from_cp1252(std::string_view text) {
    const std::string utf8 = cp1252_to_utf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString from_ansi_page(std::string_view bytes, const CodePagePair& pages) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) {
        *out++ = QChar(pages.ansi_display[static_cast<unsigned char>(c)]);
    }
    return text;
}

std::string to_ansi_page(const QString& text, const CodePagePair& pages) {
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
