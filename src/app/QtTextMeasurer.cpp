#include "app/QtTextMeasurer.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

#include <cmath>

namespace pathwicks {

QtTextMeasurer::QtTextMeasurer()
    : referenceFont_(fontFor(referenceTextAttributes())),
      labelFont_(fontFor(labelTextAttributes())), referenceMetrics_(referenceFont_),
      labelMetrics_(labelFont_),
      referenceLines_{referenceMetrics_.ascent(), referenceMetrics_.height(),
                      referenceMetrics_.lineSpacing()},
      labelLines_{labelMetrics_.ascent(), labelMetrics_.height(), labelMetrics_.lineSpacing()},
      referenceFontKey_(referenceFont_.key().toStdString()),
      labelFontKey_(labelFont_.key().toStdString()) {}

QFont QtTextMeasurer::fontFor(const TextAttributes& attributes) {
    // Only the families this system has: given a missing first family, Qt takes the system's
    // fallback for it and never tries the others, and finding that fallback sorts every font
    // installed. Where none is installed, the system's fallback it is.
    const QStringList wanted{QString::fromStdString(attributes.fontName),
                             QStringLiteral("Lucida Grande"), QStringLiteral("DejaVu Sans")};
    const QStringList installed = QFontDatabase::families();
    QStringList families;
    for (const QString& family : wanted)
        if (installed.contains(family, Qt::CaseInsensitive))
            families.push_back(family);
    QFont font;
    font.setFamilies(families.isEmpty() ? wanted : families);
    font.setStyleHint(QFont::SansSerif);
    // Canvas points are pixels at scale 1; unhinted glyphs keep their widths at every scale, so
    // a picture exported larger is laid out the same.
    font.setPixelSize(std::max(1, int(std::lround(attributes.fontSize))));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

const QFont& QtTextMeasurer::font(TextStyle style) const {
    return style == TextStyle::label ? labelFont_ : referenceFont_;
}

const std::string& QtTextMeasurer::fontKey(TextStyle style) const {
    return style == TextStyle::label ? labelFontKey_ : referenceFontKey_;
}

const QtTextMeasurer::Lines& QtTextMeasurer::lines(TextStyle style) const {
    return style == TextStyle::label ? labelLines_ : referenceLines_;
}

QtTextMeasurer::Lines QtTextMeasurer::linesOf(const QFontMetricsF& metrics) const {
    if (&metrics == &referenceMetrics_)
        return referenceLines_;
    if (&metrics == &labelMetrics_)
        return labelLines_;
    return {metrics.ascent(), metrics.height(), metrics.lineSpacing()};
}

const QFontMetricsF& QtTextMeasurer::metricsFor(const TextAttributes& attributes,
                                                std::optional<QFontMetricsF>& other) const {
    if (attributes.fontName == referenceTextAttributes().fontName) {
        if (attributes.fontSize == referenceTextAttributes().fontSize)
            return referenceMetrics_;
        if (attributes.fontSize == labelTextAttributes().fontSize)
            return labelMetrics_;
    }
    other.emplace(fontFor(attributes));
    return *other;
}

Size QtTextMeasurer::measureText(std::string_view text, const TextAttributes& attributes) const {
    std::optional<QFontMetricsF> other;
    const QFontMetricsF& metrics = metricsFor(attributes, other);
    const auto measure = [&] {
        return metrics.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size())));
    };
    if (other)
        return {measure(), metrics.height()};
    const double height = linesOf(metrics).height;
    auto& widths = &metrics == &labelMetrics_ ? labelWidths_ : referenceWidths_;
    // Kept to a bounded size: a huge document does not fill the memory with widths.
    constexpr size_t remembered = 20000;
    constexpr size_t longestRemembered = 4096;
    if (text.size() > longestRemembered)
        return {measure(), height};
    if (const auto found = widths.find(text); found != widths.end())
        return {found->second, height};
    if (widths.size() >= remembered)
        widths.clear();
    const double width = measure();
    widths.emplace(std::string(text), width);
    return {width, height};
}

const QStaticText& QtTextMeasurer::preparedText(std::string_view text, TextStyle style) const {
    auto& texts = style == TextStyle::label ? labelTexts_ : referenceTexts_;
    // Laying a title out is most of what painting it costs; a screenful is a few hundred.
    constexpr size_t remembered = 4000;
    if (const auto found = texts.find(text); found != texts.end())
        return found->second;
    if (texts.size() >= remembered)
        texts.clear();
    QStaticText prepared(QString::fromUtf8(text.data(), qsizetype(text.size())));
    prepared.setTextFormat(Qt::PlainText);
    prepared.setPerformanceHint(QStaticText::AggressiveCaching);
    return texts.emplace(std::string(text), std::move(prepared)).first->second;
}

double QtTextMeasurer::ascent(const TextAttributes& attributes) const {
    std::optional<QFontMetricsF> other;
    return linesOf(metricsFor(attributes, other)).ascent;
}

double QtTextMeasurer::lineHeight(const TextAttributes& attributes) const {
    std::optional<QFontMetricsF> other;
    return linesOf(metricsFor(attributes, other)).spacing;
}

} // namespace pathwicks
