// Documents made to hurt: huge, deeply nested, full of arrows, with absurd numbers, control
// characters, editor names that try to leave the Resources folder and web addresses of other
// kinds. Shared by the reliability tests (small sizes) and the hostile-documents program that
// writes them at full size for timing by hand.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pathwicks::hostile {

struct Document {
    std::string name; // a file name without suffix
    std::string what; // one line for the table
    std::string bytes;
};

// Valid JSON of roughly the given size: references with long titles and arrows to the next.
std::string bigJson(size_t bytes);

// "content" holding an array (or an object) nested the given number of levels.
std::string deepArrays(size_t depth);
std::string deepObjects(size_t depth);

// References each with one arrow to the next, the last back to the first.
std::string manyReferences(size_t references);

// One reference with the given number of arrows, all to a second one.
std::string manyArrows(size_t arrows);

// A reference and a label whose titles are the given number of bytes.
std::string longTitles(size_t bytes);

// Coordinates of 1e308, beyond a double, not numbers, and as JSON numbers instead of text.
std::string hugeCoordinates();

// Titles, ids and editor names holding every control character, NUL among them.
std::string controlCharacters();

// Editor names that would name a program outside the Resources folder.
std::string escapingEditors();

// Web references whose addresses use schemes other than http and https.
std::string otherSchemes();

// Every case at full size (about 120 MB in all) or at a small size for quick tests.
std::vector<Document> allDocuments(bool fullSize);

// The editor names and web addresses used above, for tests of what each leads to.
std::vector<std::string> escapingEditorNames();
std::vector<std::string> otherSchemeTitles();

} // namespace pathwicks::hostile
