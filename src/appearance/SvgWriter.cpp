#include "appearance/SvgWriter.h"

#include "appearance/TextLayout.h"
#include "model/Utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace pathwicks {

namespace {

class Out {
public:
    Out& operator<<(std::string_view text) {
        text_ += text;
        return *this;
    }
    Out& operator<<(double value) {
        if (!std::isfinite(value))
            value = 0;
        // Rounded to what no screen can tell apart, so that files stay small and stable.
        value = std::round(value * 10000) / 10000;
        if (value == 0)
            value = 0; // no "-0"
        char buffer[64];
        auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
        text_.append(buffer, error == std::errc() ? end : buffer);
        return *this;
    }
    std::string& text() { return text_; }

private:
    std::string text_;
};

// The text as XML character data: markup escaped, and nothing XML 1.0 forbids (control
// characters but tab, U+FFFE, U+FFFF, bytes that are not UTF-8, which become U+FFFD).
std::string escaped(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const char c = text[pos];
        if (static_cast<unsigned char>(c) >= 0x80) {
            const auto [point, length] = decodeUtf8(text, pos);
            if (length == 0)
                result += "\xef\xbf\xbd";
            else if (point != 0xfffe && point != 0xffff)
                result.append(text.substr(pos, length));
            pos += length ? length : 1;
            continue;
        }
        ++pos;
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        case '\'':
            result += "&apos;";
            break;
        default:
            // XML 1.0 allows no other control characters, not even as references.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                result += c;
        }
    }
    return result;
}

double clamped(double component) {
    return std::isfinite(component) ? std::clamp(component, 0.0, 1.0) : 0;
}

void paint(Out& out, std::string_view attribute, const Color& color) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02x%02x%02x", int(std::lround(clamped(color.red) * 255)),
                  int(std::lround(clamped(color.green) * 255)),
                  int(std::lround(clamped(color.blue) * 255)));
    out << " " << attribute << "=\"" << hex << "\"";
    if (clamped(color.alpha) < 1)
        out << " " << attribute << "-opacity=\"" << clamped(color.alpha) << "\"";
}

void lineWidth(Out& out, double width) {
    if (width > 0)
        out << " stroke-width=\"" << width << "\"";
    else // the thinnest line the device shows
        out << " stroke-width=\"1\" vector-effect=\"non-scaling-stroke\"";
}

Rect normalized(const Rect& r) {
    return {r.minX(), r.minY(), r.maxX() - r.minX(), r.maxY() - r.minY()};
}

void rect(Out& out, const Rect& r) {
    out << " x=\"" << r.x << "\" y=\"" << r.y << "\" width=\"" << r.width << "\" height=\""
        << r.height << "\"";
}

struct Clips {
    int count = 0;
    Rect last;
};

void write(Out& out, const RectOp& op, const std::string&, Clips&) {
    out << "<rect";
    rect(out, normalized(op.rect));
    if (op.radius > 0)
        out << " rx=\"" << op.radius << "\" ry=\"" << op.radius << "\"";
    if (op.fill)
        paint(out, "fill", *op.fill);
    else
        out << " fill=\"none\"";
    if (op.stroke) {
        paint(out, "stroke", *op.stroke);
        lineWidth(out, op.lineWidth);
    }
    out << "/>\n";
}

void write(Out& out, const LinesOp& op, const std::string&, Clips&) {
    out << "<path d=\"";
    for (size_t i = 0; i < op.lines.size(); ++i) {
        const Line& line = op.lines[i];
        out << (i ? " M" : "M") << line.from.x << " " << line.from.y << "L" << line.to.x << " "
            << line.to.y;
    }
    out << "\" fill=\"none\"";
    paint(out, "stroke", op.color);
    lineWidth(out, op.lineWidth);
    if (op.cap == LineCap::round)
        out << " stroke-linecap=\"round\"";
    if (!op.dashPattern.empty()) {
        out << " stroke-dasharray=\"";
        for (size_t i = 0; i < op.dashPattern.size(); ++i)
            out << (i ? " " : "") << op.dashPattern[i];
        out << "\" stroke-dashoffset=\"" << op.dashPhase << "\"";
    }
    out << "/>\n";
}

void write(Out& out, const TextOp& op, const std::string& fontFamily, Clips& clips) {
    // Consecutive lines of one title share their clip.
    if (clips.count == 0 || !(op.clip == clips.last)) {
        ++clips.count;
        clips.last = op.clip;
        out << "<clipPath id=\"c" << std::to_string(clips.count) << "\"><rect";
        rect(out, normalized(op.clip));
        out << "/></clipPath>\n";
    }
    out << "<text x=\"" << op.centerX << "\" y=\"" << op.baseline
        << "\" text-anchor=\"middle\" xml:space=\"preserve\" font-family=\"" << fontFamily
        << "\" font-size=\"" << textAttributes(op.style).fontSize << "\"";
    paint(out, "fill", op.color);
    out << " clip-path=\"url(#c" << std::to_string(clips.count) << ")\">" << escaped(op.text)
        << "</text>\n";
}

} // namespace

SvgWriter::SvgWriter(std::string fontFamily) : fontFamily_(escaped(fontFamily)) {}

std::string SvgWriter::write(const DrawList& list, const Size& size, Point origin) const {
    Out out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << size.width << "\" height=\""
        << size.height << "\" viewBox=\"" << origin.x << " " << origin.y << " " << size.width << " "
        << size.height << "\">\n";
    Clips clips;
    for (const DrawOp& op : list)
        std::visit([&](const auto& o) { pathwicks::write(out, o, fontFamily_, clips); }, op);
    out << "</svg>\n";
    return std::move(out.text());
}

} // namespace pathwicks
