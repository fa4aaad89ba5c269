#pragma once

#include "goto/MarkerSearch.h"
#include "model/StepsModel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

namespace pathwicks {

// One stop of a walkthrough: a box and where its marker stands.
struct TourStop {
    ReferencePtr box;
    // The marker's file relative to the document's folder ("/" between names) and its line;
    // none for a web link or a marker not found. With more than one, the first by path.
    std::optional<MarkerPlace> place;
    // The marker line's text as the file holds it, without its line end.
    std::string markerLine;
};

struct TourStops {
    std::vector<TourStop> stops; // in tour order
    uint64_t unreadable = 0;     // files and folders that could not be searched

    // The stop of a box of the document.
    const TourStop& of(const Reference& box) const { return stops[index_.at(&box)]; }

private:
    friend std::variant<TourStops, std::string> findTourStops(const StepsModel&,
                                                              const std::string&);
    std::unordered_map<const Reference*, size_t> index_;
};

// The document's boxes in tour order, their markers searched for under the document's folder
// as `pathwicks check` searches. A message when the folder cannot be searched.
std::variant<TourStops, std::string> findTourStops(const StepsModel& model,
                                                   const std::string& folder);

// The line of the text counted from 1, without its end: lines end at LF, CR LF or a lone CR.
std::string lineOf(std::string_view text, uint64_t line);

// The text without the white space at its ends, by Unicode's reading (U+00A0 and the like too).
std::string_view trimmedTitle(std::string_view text);

// The web address of a web-link box that a link may lead to: http and https only.
std::optional<std::string> webLinkAddress(const Reference& box);

// A path relative to the document's folder, as reached from another folder: "../src/a.c".
// Both folders as the user named them; absolute when no relative way exists.
std::string pathFrom(const std::string& fromFolder, const std::string& documentFolder,
                     const std::string& path);

// A path or address as a link destination: bytes outside printable ASCII, spaces, quotes,
// brackets, parentheses, '%', '\', '#', '?' and ':' escaped as %XX.
std::string linkDestination(std::string_view path);
// A web address as a link destination: as linkDestination, except that '%', '#', '?' and ':'
// stand.
std::string addressDestination(std::string_view address);

} // namespace pathwicks
