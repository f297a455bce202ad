#include "StatText.h"

#include "base/Text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace species {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits, optionally with one decimal point, and at least one digit.
bool isPlainDecimal(std::string_view text) {
    bool sawDigit = false;
    bool sawPoint = false;
    for (const char c : text) {
        if (isDigit(c))
            sawDigit = true;
        else if (c == '.' && !sawPoint)
            sawPoint = true;
        else
            return false;
    }
    return sawDigit;
}

double roundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5)
        return lower + 1;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1;
}

} // namespace

std::optional<double> parseStatNumber(std::string_view text) {
    text = base::trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!isPlainDecimal(text))
        return std::nullopt;
    // from_chars wants a digit before the point.
    const std::string digits = text.front() == '.' ? "0" + std::string(text) : std::string(text);
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<int> statValue(std::string_view text, int maximum) {
    const std::optional<double> number = parseStatNumber(text);
    if (!number || *number < 0 || *number > maximum)
        return std::nullopt;
    return static_cast<int>(roundHalfEven(*number));
}

} // namespace species
