// Feeds arbitrary bytes to the registry file parser. Whatever it takes from
// them must survive being written and read back unchanged, and reading what
// was written must find nothing it does not understand.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "RegFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::string_view root = "HKEY_LOCAL_MACHINE";
  auto first = qv::ParseRegFile(std::string_view(reinterpret_cast<const char*>(data), size), root);
  if (first.clean != (first.firstBadLine == 0)) std::abort();
  auto text = qv::FormatRegFile(first.data, root);
  auto second = qv::ParseRegFile(text, root);
  if (!second.clean || !(second.data == first.data)) std::abort();
  if (qv::FormatRegFile(second.data, root) != text) std::abort();
  // Keys stay findable under another spelling, and creating one again adds nothing.
  for (const auto& key : first.data.Keys()) {
    std::string upper = key.path;
    for (auto& c : upper)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (second.data.FindKey(upper) == nullptr) std::abort();
    auto count = second.data.Keys().size();
    second.data.CreateKey(upper);
    if (second.data.Keys().size() != count) std::abort();
  }
  return 0;
}
