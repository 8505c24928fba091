#pragma once

#include <memory>
#include <string>

#include "pathutils/KoPathUtils.h"
#include "ustring/ustring.h"

// A path text with the syntax used to extend it. The text is normalised
// only by the combinations of Append; the constructor keeps it as given.
class Path {
public:
    Path(const char16_t* text, const KoPathUtils::PathStyle& style);
    Path(const Path&) = delete;
    Path& operator=(const Path&) = delete;
    ~Path();

    // Combines the text with each non-empty component in turn; an empty
    // component changes nothing. Returns the path itself.
    Path& Append(const ustring& first, const ustring& second = ustring(""),
                 const ustring& third = ustring(""), const ustring& fourth = ustring(""),
                 const ustring& fifth = ustring(""));

    // Removes what the text names: a regular file as a file, anything else
    // as an empty folder. True when the removal succeeded.
    bool Remove();

    const ustring& Text() const { return text_; }

private:
    ustring text_;
    KoPathUtils::PathStyle style_;
    std::unique_ptr<std::string> narrow_text_;  // never set by this tool
};
