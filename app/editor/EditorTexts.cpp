#include "app/editor/EditorTexts.h"

#include "engine/book/Caption.h"

#include <unicode/locid.h>
#include <unicode/numberformatter.h>

#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace quillfen::EditorTexts {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("DrawingEditor", text);
}

// printf's "%.1f" in the C locale, whatever the process locale is.
QString oneDecimal(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    if (result.ec != std::errc()) return QStringLiteral("?");
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

QString wholeNumber(double value) {
    if (!std::isfinite(value)) return QStringLiteral("?");
    return QString::number(static_cast<long long>(
        std::clamp(std::trunc(value), -9.2e18, 9.2e18)));
}

}  // namespace

long long whitenPercent(double whiten) {
    const double product = whiten * 100;
    if (std::isnan(product)) return 0;
    constexpr double limit = 9.2e18;  // inside the range of long long, with room for the conversion
    return static_cast<long long>(std::clamp(std::trunc(product), -limit, limit));
}

QString whitenLabel(double whiten) {
    if (whiten == 0) return tr("Whiten paper: off");
    return tr("Whiten paper %1%").arg(whitenPercent(whiten));
}

QString degreesText(double degrees) {
    UErrorCode status = U_ZERO_ERROR;
    const auto formatted = icu::number::NumberFormatter::withLocale(icu::Locale::getDefault())
                               .precision(icu::number::Precision::fixedFraction(1))
                               .roundingMode(UNUM_ROUND_HALFEVEN)
                               .grouping(UNUM_GROUPING_OFF)
                               .formatDouble(degrees, status);
    const icu::UnicodeString text = formatted.toString(status);
    if (U_FAILURE(status)) return oneDecimal(degrees);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

QString pixelText(Size pixelSize) {
    return QStringLiteral("%1 × %2").arg(wholeNumber(pixelSize.width), wholeNumber(pixelSize.height));
}

QString sharpSizeText(Size pixelSize) {
    const double width = pixelSize.width / 300 * 72 / 72;
    const double height = pixelSize.height / 300 * 72 / 72;
    return QStringLiteral("%1 × %2 in").arg(oneDecimal(width), oneDecimal(height));
}

QString agePrompt(const DrawingInfo& info, const std::optional<Child>& child) {
    const auto years = child ? child->age(info.date) : std::nullopt;
    if (!years) return QStringLiteral("e.g. 5");
    return QStringLiteral("%1 (from birthday)").arg(*years);
}

QString showsAsLine(const DrawingInfo& info, const std::optional<Child>& child, const BookSettings& settings) {
    const QString detail = QString::fromStdString(Caption::lines(info, child ? &*child : nullptr, settings));
    const QString title = info.title.empty()
                              ? QString()
                              : QStringLiteral("\u201C%1\u201D").arg(QString::fromStdString(info.title));
    if (title.isEmpty()) return detail;
    if (detail.isEmpty()) return title;
    return title + QStringLiteral(" \u2014 ") + detail;
}

}  // namespace quillfen::EditorTexts
