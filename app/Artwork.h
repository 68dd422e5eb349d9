#pragma once
// The program's own pictures, drawn in code so that they scale and need no
// image files: the exit sign on the top panel's exit button and the globe of
// the application icon.
#include <QIcon>
#include <QImage>
#include <QString>
#include <filesystem>
#include <vector>

namespace qv {

// The exit sign, 32 x 32: a green arrow pointing right above the green word
// EXIT on black, in a grey frame. Opaque.
[[nodiscard]] QImage ExitGlyph();

// The globe of the application icon at size x size pixels (size >= 1): blue
// sea with olive-green land on a transparent background.
[[nodiscard]] QImage AppIconImage(int size);

// The sizes packaged with the program, smallest first: 16, 32, 48, 64, 128, 256.
[[nodiscard]] const std::vector<int>& AppIconSizes();

// The application icon with every packaged size.
[[nodiscard]] QIcon AppIcon();

// Writes quorvel-<size>.png for every packaged size into folder, which must
// exist. Returns the files written; throws std::runtime_error when one cannot
// be written.
std::vector<std::filesystem::path> WriteAppIconPngs(const std::filesystem::path& folder);

}  // namespace qv
