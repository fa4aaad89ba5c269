#pragma once

#include "appearance/DrawList.h"
#include "appearance/LayoutMeasurer.h"

#include <QFont>
#include <QFontMetricsF>

#include <optional>

namespace pathwicks {

// Measures titles with the font they are drawn in: "LucidaGrande", or the closest installed
// sans font. Needs a QGuiApplication.
class QtTextMeasurer : public LayoutMeasurer {
public:
    QtTextMeasurer();

    Size measureText(std::string_view text, const TextAttributes& attributes) const override;
    double ascent(const TextAttributes& attributes) const override;
    double lineHeight(const TextAttributes& attributes) const override;

    const QFont& font(TextStyle style) const;
    const QFontMetricsF& metrics(TextStyle style) const;

    static QFont fontFor(const TextAttributes& attributes);

private:
    const QFontMetricsF& metricsFor(const TextAttributes& attributes,
                                    std::optional<QFontMetricsF>& other) const;

    QFont referenceFont_;
    QFont labelFont_;
    QFontMetricsF referenceMetrics_;
    QFontMetricsF labelMetrics_;
};

} // namespace pathwicks
