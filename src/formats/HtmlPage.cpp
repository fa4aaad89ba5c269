#include "formats/HtmlPage.h"

#include "formats/NoteHtml.h"
#include "formats/Sha256.h"
#include "formats/VisibleText.h"

#include <cmath>
#include <sstream>

namespace pathwicks {

namespace {

// Reads the page as a tour: the address names the current stop, the keys move it, and its box
// is highlighted.
constexpr const char* script = R"(
(function () {
  "use strict";
  var stops = document.querySelectorAll(".stop");
  function current() {
    var match = /^#stop-([0-9]+)$/.exec(window.location.hash);
    var n = match ? parseInt(match[1], 10) : 0;
    return n >= 1 && n <= stops.length ? n : 0;
  }
  function show() {
    var n = current();
    document.querySelectorAll(".current").forEach(function (element) {
      element.classList.remove("current");
    });
    if (n === 0) return;
    stops[n - 1].classList.add("current");
    var box = document.getElementById("box-" + n);
    if (box) box.classList.add("current");
  }
  function go(n) {
    if (n >= 1 && n <= stops.length) window.location.hash = "stop-" + n;
  }
  document.addEventListener("keydown", function (event) {
    if (event.defaultPrevented || event.altKey || event.ctrlKey || event.metaKey) return;
    var n = current();
    var key = event.key;
    if (key === "ArrowRight" || key === "PageDown" || (key === " " && !event.shiftKey)) {
      go(n + 1);
    } else if (key === "ArrowLeft" || key === "PageUp" || (key === " " && event.shiftKey)) {
      go(n > 1 ? n - 1 : 1);
    } else {
      return;
    }
    event.preventDefault();
  });
  window.addEventListener("hashchange", show);
  show();
})();
)";

constexpr const char* style = R"(
:root { color-scheme: light dark; --accent: #d9480f; --line: #8884; --marker: #ffd43b55; }
body { font: 16px/1.5 system-ui, sans-serif; margin: 0 auto; max-width: 64rem; padding: 1rem 2rem 40vh; }
h1 { font-size: 1.6rem; }
.diagram { margin: 0 0 1.5rem; overflow: auto; border: 1px solid var(--line); border-radius: 6px; }
.diagram svg { display: block; max-width: 100%; height: auto; }
.diagram .box { fill: transparent; stroke: none; pointer-events: all; cursor: pointer; }
.diagram .box:hover { stroke: var(--accent); stroke-width: 1.5; }
.diagram .box.current { stroke: var(--accent); stroke-width: 4; }
.labels p { margin: 0.25rem 0; font-style: italic; white-space: pre-wrap; }
.stops { list-style: none; padding: 0; }
.stop { border-left: 4px solid transparent; padding: 0.25rem 1rem; margin: 1rem 0; scroll-margin-top: 1rem; }
.stop.current { border-left-color: var(--accent); }
.stop h2 { font-size: 1.2rem; margin: 0.5rem 0; white-space: pre-wrap; }
.stop h2 .number { color: var(--accent); margin-right: 0.5rem; }
.place { font-family: ui-monospace, monospace; font-size: 0.9rem; }
.missing { color: var(--accent); font-weight: bold; }
.excerpt { border: 1px solid var(--line); border-radius: 6px; padding: 0.5rem 0; overflow-x: auto; font-size: 0.85rem; line-height: 1.4; }
.excerpt .line { display: block; padding-right: 1rem; }
.excerpt .line.marker { background: var(--marker); }
.excerpt .ln { display: inline-block; min-width: 3.5em; padding: 0 1em 0 0.5em; text-align: right; opacity: 0.6; user-select: none; }
.control { border: 1px solid var(--accent); border-radius: 3px; color: var(--accent); font-size: 0.8em; }
.note code, .note pre { font-family: ui-monospace, monospace; }
.hint { opacity: 0.7; font-size: 0.9rem; }
)";

std::string number(double value) {
    std::ostringstream text;
    text << (std::isfinite(value) ? std::round(value * 100) / 100 : 0.0);
    return text.str();
}

// The diagram without its XML declaration, a transparent link over each box before its end.
std::string diagramHtml(const HtmlPageContent& content) {
    std::string svg = content.diagram;
    if (svg.starts_with("<?xml"))
        svg.erase(0, svg.find('\n') + 1);
    std::string boxes;
    for (size_t i = 0; i < content.stops.size(); ++i) {
        const Rect& r = content.stops[i].box;
        const std::string n = std::to_string(i + 1);
        boxes += "<a href=\"#stop-" + n + "\"><rect class=\"box\" id=\"box-" + n + "\" x=\"" +
                 number(r.x) + "\" y=\"" + number(r.y) + "\" width=\"" + number(r.width) +
                 "\" height=\"" + number(r.height) + "\" rx=\"4\"><title>" +
                 htmlText(content.stops[i].title) + "</title></rect></a>\n";
    }
    const size_t end = svg.rfind("</svg>");
    if (end == std::string::npos)
        return {};
    svg.insert(end, boxes);
    return "<figure class=\"diagram\">\n" + svg + "</figure>\n";
}

std::string stopHtml(const HtmlStop& stop, size_t number) {
    const std::string n = std::to_string(number);
    std::string html = "<li class=\"stop\" id=\"stop-" + n + "\">\n<h2><span class=\"number\">" +
                       n + "</span>" + htmlText(stop.title) + "</h2>\n";
    if (!stop.note.empty())
        html += "<div class=\"note\">\n" + noteHtml(stop.note) + "</div>\n";
    const std::string shown = stop.webLink ? stop.link : stop.place;
    if (!shown.empty()) {
        html += "<p class=\"place\">";
        html += stop.link.empty()
                    ? htmlText(shown)
                    : "<a href=\"" + htmlText(stop.link) + "\">" + htmlText(shown) + "</a>";
        html += "</p>\n";
    }
    if (stop.excerpt)
        html += excerptHtml(*stop.excerpt);
    else if (!stop.webLink)
        html += "<p class=\"missing\">marker not found</p>\n";
    return html + "</li>\n";
}

} // namespace

const std::string& htmlPageScript() {
    static const std::string text = script;
    return text;
}

const std::string& htmlPageStyle() {
    static const std::string text = style;
    return text;
}

std::string htmlPage(const HtmlPageContent& content) {
    const std::string policy = "default-src 'none'; script-src " + cspHash(htmlPageScript()) +
                               "; style-src " + cspHash(htmlPageStyle()) +
                               "; base-uri 'none'; form-action 'none'";
    const std::string name = htmlText(content.name);
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta http-equiv=\"Content-Security-Policy\" content=\"" +
                       policy +
                       "\">\n<meta name=\"referrer\" content=\"no-referrer\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>" +
                       name + "</title>\n<style>" + htmlPageStyle() +
                       "</style>\n</head>\n<body>\n" + "<h1>" + name + "</h1>\n" +
                       diagramHtml(content);
    if (!content.labels.empty()) {
        html += "<section class=\"labels\">\n";
        for (const auto& label : content.labels)
            html += "<p>" + htmlText(label) + "</p>\n";
        html += "</section>\n";
    }
    html += "<p class=\"hint\">Right, Space and Page Down go to the next stop; Left and Page Up "
            "to the previous one.</p>\n<ol class=\"stops\">\n";
    for (size_t i = 0; i < content.stops.size(); ++i)
        html += stopHtml(content.stops[i], i + 1);
    return html + "</ol>\n<script>" + htmlPageScript() + "</script>\n</body>\n</html>\n";
}

} // namespace pathwicks
