#include "driver/Path.h"

#include "pathutils/file_ops.h"

Path::Path(const char16_t* text, const KoPathUtils::PathStyle& style) : text_(text), style_(style) {}

Path::~Path() = default;

Path& Path::Append(const ustring& first, const ustring& second, const ustring& third,
                   const ustring& fourth, const ustring& fifth) {
    for (const ustring* component : {&first, &second, &third, &fourth, &fifth}) {
        if (component->empty()) continue;
        const ustring combined = KoPathUtils::Combine(text_, *component, style_);
        text_.assign(combined);
    }
    return *this;
}

bool Path::Remove() {
    // The file operations take every path in Windows syntax; the style of
    // this path only shapes its combinations.
    return KoPathUtils::IsFile(text_) ? KoPathUtils::RemoveFile(text_) : KoPathUtils::RemoveDir(text_);
}
