#pragma once

#include "formats/TourStops.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace pathwicks {

// A relative link to a file: "./" before it (so that no name reads as a scheme or an
// address), every character a URL would read escaped.
std::string relativeLink(std::string_view path);

// Where each stop's place leads, by stop: its permanent address on the code host of the
// document folder's git work tree, or else, after a line on err saying which stop and why, a
// link relative to outputFolder. Empty for stops without a place.
std::vector<std::string> stopLinks(const std::vector<TourStop>& stops,
                                   const std::string& documentFolder,
                                   const std::string& outputFolder, bool permanent,
                                   std::ostream& err);

// The relative link to a place from outputFolder: "./../src/a.c#L10".
std::string placeLink(const std::string& outputFolder, const std::string& documentFolder,
                      const MarkerPlace& place);

} // namespace pathwicks
