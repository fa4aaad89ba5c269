#pragma once

#include "appearance/DrawList.h"
#include "appearance/LayoutMeasurer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStaticText>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace pathwicks {

// Measures titles with the font they are drawn in: "LucidaGrande", or the closest installed
// sans font. Needs a QGuiApplication.
class QtTextMeasurer : public LayoutMeasurer {
public:
    QtTextMeasurer();

    Size measureText(std::string_view text, const TextAttributes& attributes) const override;
    double ascent(const TextAttributes& attributes) const override;
    double lineHeight(const TextAttributes& attributes) const override;

    // A font's ascent, height and line spacing, worked out once: asked of its metrics, each
    // looks up the font's engine again, behind a lock.
    struct Lines {
        double ascent = 0;
        double height = 0;
        double spacing = 0;
    };

    const QFont& font(TextStyle style) const;
    const Lines& lines(TextStyle style) const;
    // The style's font described in full (QFont::key), worked out once.
    const std::string& fontKey(TextStyle style) const;

    static QFont fontFor(const TextAttributes& attributes);

    // The line laid out once in the style's font, for painting again and again; kept until
    // many others have been laid out. For the thread that owns the measurer.
    const QStaticText& preparedText(std::string_view text, TextStyle style) const;

private:
    const QFontMetricsF& metricsFor(const TextAttributes& attributes,
                                    std::optional<QFontMetricsF>& other) const;
    // The lines of the metrics `metricsFor` gave, the canvas's or another font's.
    Lines linesOf(const QFontMetricsF& metrics) const;

    QFont referenceFont_;
    QFont labelFont_;
    QFontMetricsF referenceMetrics_;
    QFontMetricsF labelMetrics_;
    Lines referenceLines_;
    Lines labelLines_;
    std::string referenceFontKey_;
    std::string labelFontKey_;
    // Widths already measured in the two fonts of the canvas: laying out a title measures the
    // same words again and again, and a view full of boxes often shows the same titles.
    // Looked up by the text as it is, without a copy.
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    template <class Value>
    using ByText = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;
    mutable ByText<double> referenceWidths_;
    mutable ByText<double> labelWidths_;
    mutable ByText<QStaticText> referenceTexts_;
    mutable ByText<QStaticText> labelTexts_;
};

} // namespace pathwicks
