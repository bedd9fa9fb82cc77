// SPDX-License-Identifier: MIT
// The frame's own commands: the language, the code pages, help and the links.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringDecoder>

#include "app/code_page_setting.h"
#include "app/side_files.h"
#include "gui/child_window.h"
#include "gui/frame_window.h"
#include "gui/language.h"
#include "gui/qt_text.h"
#include "lang/captions.h"
#include "lang/messages.h"
#include "lang/texts.h"

namespace glossek {

namespace {

// Link files written on this system are UTF-8; older ones are in the ANSI code page.
QString link_address(const std::string& bytes, const CodePagePair& pages) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString address = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return utf8.hasError() ? from_ansi_page(bytes, pages) : address;
}

}  // namespace

void FrameWindow::load_language() {
    glossek::load_language(state_);
    apply_language();
}

void FrameWindow::apply_language() {
    state_.language_code = corrected_language_code(state_.language_code);
    state_.texts = language_texts(state_.language_code);
    // Qt's own texts (buttons of message boxes, file dialogs, the child windows' menus)
    // follow the program's language.
    QCoreApplication::removeTranslator(&qt_translator_);
    // Their dates and sizes (the file dialogs' columns) too.
    QLocale::setDefault(state_.language_code == kLanguageFrench
                            ? QLocale(QLocale::French, QLocale::France)
                            : QLocale(QLocale::English, QLocale::UnitedStates));
    if (state_.language_code == kLanguageFrench &&
        qt_translator_.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qt_translator_);
    }
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        static_cast<ChildWindow*>(window)->translate_system_menu();
    }
    apply_captions(*this, state_.language_code);
    setWindowTitle(from_cp1252(state_.texts.lng_product + state_.texts.lng_version_suffix));
    emit language_changed();
}

void FrameWindow::switch_language(std::string_view code) {
    minimise_visible_children();
    state_.language_code = std::string(code.substr(0, 2));
    apply_language();
    // Beside the program (or in the user's settings folder), whatever folder a file dialog
    // last moved to.
    make_settings_folder(state_);
    write_language_file(language_file(state_), code);
    show_child(Child::GeneralData);
}

void FrameWindow::switch_to_english() {
    guarded([&] { switch_language(kLanguageEnglish); });
}

void FrameWindow::switch_to_french() {
    guarded([&] { switch_language(kLanguageFrench); });
}

void FrameWindow::load_code_pages() {
    const QString title = from_cp1252(state_.texts.lng_product);
    // What stood in the way of the pair asked for is said, never dropped in silence; the
    // pair without it is in force for this run.
    const CodePageResolution resolution = resolve_code_pages(code_page_file(state_));
    const LanguageTexts& texts = state_.texts;
    if (resolution.file_error) {
        dialogs_.message(title,
                         joined(shown_name(code_page_file(state_)),
                                from_cp1252(code_page_file_bad_text(resolution.pages, texts))) +
                             QStringLiteral("\n") +
                             from_cp1252(error_text(resolution.file_error, texts)));
    }
    if (resolution.variable_error) {
        dialogs_.message(title, from_cp1252(error_text(*resolution.variable_error, texts)));
    }
    state_.pages = resolution.pages;
    show_code_pages();
}

void FrameWindow::choose_code_pages() {
    CodePageChoice choice;
    choice.title = from_cp1252(state_.texts.lng_code_pages);
    choice.dos_label = from_cp1252(state_.texts.lng_dos_page);
    choice.windows_label = from_cp1252(state_.texts.lng_windows_page);
    for (int page : supported_oem_pages()) {
        choice.dos_pages.append(
            {page, QString::fromStdString(code_page_title(page, state_.language_code))});
    }
    for (int page : supported_ansi_pages()) {
        choice.windows_pages.append(
            {page, QString::fromStdString(code_page_title(page, state_.language_code))});
    }
    choice.dos = state_.pages.oem;
    choice.windows = state_.pages.ansi;
    const std::optional<std::pair<int, int>> chosen = dialogs_.choose_code_pages(choice);
    if (!chosen) {
        return;
    }
    put_pages_in_force({chosen->first, chosen->second});
}

void FrameWindow::put_pages_in_force(PageNumbers pages) {
    guarded([&] {
        // In force at once, for the next conversion and the grid's characters; kept for the
        // next start.
        state_.pages = code_page_pair(pages.oem, pages.ansi);
        show_code_pages();
        emit code_pages_changed();
        make_settings_folder(state_);
        write_code_page_file(code_page_file(state_), pages);
    });
}

void FrameWindow::show_code_pages() {
    QString text = from_cp1252(state_.texts.lng_pages_in_force);
    text.replace(QStringLiteral("%o"), QString::number(state_.pages.oem));
    text.replace(QStringLiteral("%w"), QString::number(state_.pages.ansi));
    code_pages_label_->setText(text);
}

void FrameWindow::show_help(const QString& topic) {
    dialogs_.show_help(from_file_name(help_file(state_)), topic,
                       QString::fromStdString(state_.language_code));
}

void FrameWindow::show_help_index() {
    show_help(QStringLiteral("Sommaire"));
}

void FrameWindow::show_about() {
    dialogs_.notice(from_cp1252(state_.texts.lng_product),
                    from_cp1252(state_.texts.lng_about_version));
}

void FrameWindow::open_link(const std::string& link) {
    dialogs_.notice(from_cp1252(state_.texts.lng_product), from_cp1252(state_.texts.lng_link_hint));
    dialogs_.open_link(link_address(link, state_.pages));
}

void FrameWindow::open_author_page() {
    open_link(state_.links.auth);
}
void FrameWindow::open_program_page() {
    open_link(state_.links.glkh);
}
void FrameWindow::mail_author() {
    open_link(state_.links.mail);
}

}  // namespace glossek
