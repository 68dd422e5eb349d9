#pragma once
// A setter's first step: store the value, and say whether that changed it.

namespace qv {

template <typename T>
bool StoreChanged(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace qv
