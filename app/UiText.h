#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <span>
#include <string_view>

// Texts and the font shared by the program's windows.
namespace app::uitext {

[[nodiscard]] inline QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "Arial Unicode MS" at 8.25 points where it is installed, otherwise a metric-compatible
// sans serif.
[[nodiscard]] QFont controlFont();

// `text` in lower case, without accents: what a search compares, so that "pokemon" finds
// "Pokémon".
[[nodiscard]] QString folded(const QString& text);

[[nodiscard]] QString programName(); // "Statwright"

// The lines a message lists, one a line: the first 20, and then how many more ("and 1 more",
// "and 12 more"). `count` is how many there are, when more were found than `lines` holds.
inline constexpr int kListedLines = 20;
[[nodiscard]] QString listed(const QStringList& lines, qsizetype count = -1);
// `count` of `one` or `many`: "1 problem", "3 problems".
[[nodiscard]] QString counted(qsizetype count, const QString& one, const QString& many);
// What a number box says of text that is no number from 0 to `maximum`: "Please enter Base
// Stat values between 0 and 255.", as the main window has always said it, or for the EV
// yields and flags "Please enter a value between 0 and 3."
[[nodiscard]] QString numberRangeMessage(int maximum);
// The main window's caption with an image of game code `code` open: "ADAE - Statwright".
[[nodiscard]] QString imageCaption(std::string_view code);
[[nodiscard]] QString versionLine(); // "Statwright 1.0"
[[nodiscard]] QString noticeLine();  // "© 2026 Statwright developers"

} // namespace app::uitext
