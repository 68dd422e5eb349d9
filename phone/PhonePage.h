#pragma once
// The phone page, built into the program from page/: the document, its
// script and its style, served as three fixed paths (so the content security
// policy needs no inline code).
#include <string_view>

namespace qv::phone {

enum class PagePart { kHtml, kScript, kStyle };

struct PageAsset {
  std::string_view contentType;
  std::string_view body;
};

[[nodiscard]] PageAsset AssetOf(PagePart part);

}  // namespace qv::phone
