#include <gtest/gtest.h>

#include <sys/stat.h>
#include <cstdlib>
#include <filesystem>

#include "UserDirs.h"
#include "WorkshopSettings.h"
#include "support/TestEnv.h"

namespace qv::workshop {
namespace {

WorkshopSettings Changed() {
  WorkshopSettings s;
  s.theme = Theme::Night;
  s.model = {.unit = Unit::InchHg,
             .reference = ReferenceKind::Cylinder,
             .referenceCylinder = 2,
             .pairMode = true,
             .toleranceMbar = 7.5,
             .dampingSeconds = 0.25,
             .zoom = 20};
  s.snapshotFolder = "/srv/bilder/Werkstatt ;=\"x\"";
  s.zeroOffsets["/dev/ttyUSB0"] = {1.5, -0.25, 0, -1.25};
  s.zeroOffsets["COM1;odd=name"] = {-50, 50, 0.1, 1e-7};
  s.geometry = std::string("\x01\xd9\xd0\xcb\0\x03", 6);
  s.reconnect = false;
  return s;
}

TEST(WorkshopSettingsFile, DefaultsWithoutAFile) {
  qvtest::ScratchDir dir;
  WorkshopSettingsFile file(dir / "workshop.ini");
  const ParsedSettings p = file.Load();
  EXPECT_EQ(p.problem, "");
  EXPECT_FALSE(file.Damaged());
  const WorkshopSettings& s = p.settings;
  EXPECT_EQ(s.theme, Theme::Day);
  EXPECT_EQ(s.model.unit, Unit::MilliBar);
  EXPECT_EQ(s.model.reference, ReferenceKind::Mean);
  EXPECT_FALSE(s.model.pairMode);
  EXPECT_EQ(s.model.toleranceMbar, 10);
  EXPECT_EQ(s.model.dampingSeconds, 1);
  EXPECT_EQ(s.model.zoom, 0);
  EXPECT_TRUE(s.snapshotFolder.empty());
  EXPECT_TRUE(s.zeroOffsets.empty());
  EXPECT_TRUE(s.reconnect);
  EXPECT_EQ(DefaultSettingsPath(), qvtest::IsolatedRoot() / "config" / "quorvel" / "workshop.ini");
}

TEST(WorkshopSettingsFile, RoundTripOfEverySetting) {
  qvtest::ScratchDir dir;
  WorkshopSettingsFile file(dir / "sub" / "workshop.ini");
  ASSERT_EQ(file.Save(Changed()), "");
  WorkshopSettingsFile again(file.Path());
  const ParsedSettings p = again.Load();
  EXPECT_EQ(p.problem, "");
  EXPECT_EQ(p.settings, Changed());
  // Written with "." whatever the locale, one key per line.
  const std::string text = qvtest::ReadFile(file.Path());
  EXPECT_NE(text.find("Tolerance=7.5\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Zoom=20\n"), std::string::npos);
  EXPECT_NE(text.find("Reference=cylinder3\n"), std::string::npos);
  EXPECT_NE(text.find("Geometry=01d9d0cb0003\n"), std::string::npos);
  EXPECT_NE(text.find("Port1=1.5;-0.25;0;-1.25;/dev/ttyUSB0\n"), std::string::npos);
  // Only the file itself is left in the folder: no temporary file.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "sub"), {}), 1);
}

TEST(WorkshopSettingsFile, DamagedFileGivesDefaultsAndIsKeptUntilASettingChanges) {
  qvtest::ScratchDir dir;
  const auto path = dir / "workshop.ini";
  const std::string damaged[] = {
      "[Workshop]\nUnit=psi\n",
      "[Workshop]\nTolerance=ten\n",
      "[Workshop]\nTolerance=80\n",
      "[Workshop]\nDamping=3\n",
      "[Workshop]\nZoom=7\n",
      "[Workshop]\nPairMode=yes\n",
      "[Workshop]\nReference=cylinder5\n",
      "[Workshop]\nGeometry=0g\n",
      "[Workshop]\n[ZeroOffsets]\nPort1=1;2;3\n",
      "[Workshop]\n[ZeroOffsets]\nPort1=1;2;3;400;COM1\n",
      "[Workshop]\n[ZeroOffsets]\nPort1=1;2;3;4;\n",
      "Theme=night\n",
      std::string("[Workshop]\nTheme=night\0\n", 24),
      "[Workshop]\nSnapshotFolder=/srv/a\rb\n",  // a CR inside could not be written back
  };
  for (const std::string& bytes : damaged) {
    qvtest::WriteFile(path, bytes);
    WorkshopSettingsFile file(path);
    const ParsedSettings p = file.Load();
    EXPECT_TRUE(file.Damaged()) << bytes;
    EXPECT_NE(p.problem.find(path.string()), std::string::npos) << p.problem;
    EXPECT_EQ(p.settings, WorkshopSettings{}) << bytes;
    // Closing the window stores its geometry: that alone leaves the file alone.
    WorkshopSettings s = p.settings;
    s.geometry = "new place";
    EXPECT_EQ(file.Save(s), "");
    EXPECT_EQ(qvtest::ReadFile(path), bytes);
    // A changed setting replaces it.
    s.theme = Theme::Night;
    EXPECT_EQ(file.Save(s), "");
    EXPECT_FALSE(file.Damaged());
    WorkshopSettingsFile again(path);
    EXPECT_EQ(again.Load().settings, s);
  }
}

TEST(WorkshopSettingsFile, AFolderNameWithALineBreakIsNotStoredAndBreaksNothing) {
  qvtest::ScratchDir dir;
  WorkshopSettingsFile file(dir / "workshop.ini");
  WorkshopSettings s = Changed();
  s.snapshotFolder = "/srv/a\nTheme=day";
  ASSERT_EQ(file.Save(s), "");
  WorkshopSettingsFile again(file.Path());
  const ParsedSettings p = again.Load();
  EXPECT_EQ(p.problem, "");
  EXPECT_EQ(p.settings.theme, Changed().theme);
  EXPECT_EQ(p.settings.snapshotFolder, "");
}

TEST(WorkshopSettingsFile, UnknownKeysAndCommentsAreNoDamage) {
  qvtest::ScratchDir dir;
  qvtest::WriteFile(dir / "w.ini", "; mine\r\n[Workshop]\r\nUnit=kpa\r\nFuture=1\r\n[Other]\r\nx=y\r\n");
  WorkshopSettingsFile file(dir / "w.ini");
  const ParsedSettings p = file.Load();
  EXPECT_EQ(p.problem, "");
  EXPECT_EQ(p.settings.model.unit, Unit::KiloPascal);
}

TEST(WorkshopSettingsFile, AFailedWriteSaysWhyAndKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  qvtest::ScratchDir dir;
  WorkshopSettingsFile file(dir / "ro" / "workshop.ini");
  ASSERT_EQ(file.Save(Changed()), "");
  std::filesystem::permissions(dir / "ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const std::string err = file.Save(WorkshopSettings{});
  EXPECT_NE(err.find("workshop.ini"), std::string::npos) << err;
  WorkshopSettingsFile again(file.Path());
  EXPECT_EQ(again.Load().settings, Changed());
}

TEST(WorkshopSettingsFile, AFolderInThePlaceOfTheFileGivesAMessage) {
  qvtest::ScratchDir dir;
  std::filesystem::create_directories(dir / "workshop.ini" / "inside");
  WorkshopSettingsFile file(dir / "workshop.ini");
  EXPECT_FALSE(file.Load().problem.empty());
  EXPECT_NE(file.Save(Changed()), "");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "workshop.ini" / "inside"));
}

TEST(WorkshopSettingsFile, AFileInTheWayOfTheFolderGivesAMessage) {
  qvtest::ScratchDir dir;
  qvtest::WriteFile(dir / "blocker", "not a folder");
  WorkshopSettingsFile file(dir / "blocker" / "workshop.ini");
  EXPECT_NE(file.Save(Changed()), "");
  EXPECT_EQ(qvtest::ReadFile(dir / "blocker"), "not a folder");
}

TEST(WorkshopSnapshotFolder, PicturesFolderAsTheDesktopNamesIt) {
  const std::filesystem::path home = "/home/m";
  EXPECT_EQ(PicturesDirFromUserDirs("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", home), "/home/m/Bilder");
  EXPECT_EQ(PicturesDirFromUserDirs("# c\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n  XDG_PICTURES_DIR=\"/data/Fotos\"", home),
            "/data/Fotos");
  EXPECT_EQ(PicturesDirFromUserDirs("XDG_PICTURES_DIR=\"$HOME/Meine \\\"Bilder\\\"/\"\n", home),
            "/home/m/Meine \"Bilder\"");
  EXPECT_EQ(PicturesDirFromUserDirs("XDG_PICTURES_DIR=\"$HOME/\"\n", home), "");  // switched off
  EXPECT_EQ(PicturesDirFromUserDirs("XDG_PICTURES_DIR=\"/home/m/\"\n", home), "");
  EXPECT_EQ(PicturesDirFromUserDirs("XDG_PICTURES_DIR=\"Bilder\"\n", home), "");  // relative
  EXPECT_EQ(PicturesDirFromUserDirs("XDG_PICTURES_DIR=\"$HOMEX/a\"\n", home), "");
  EXPECT_EQ(PicturesDirFromUserDirs("XDG_PICTURES_DIR=\"$HOME/a\n", home), "");  // unclosed
  EXPECT_EQ(PicturesDirFromUserDirs("XDG_PICTURES_DIRS=\"/x\"\n", home), "");
  EXPECT_EQ(PicturesDirFromUserDirs("", home), "");
}

TEST(WorkshopSnapshotFolder, DefaultIsBelowThePicturesFolder) {
  const std::filesystem::path config = qvtest::IsolatedRoot() / "config";
  const std::filesystem::path home = std::getenv("HOME");
  std::filesystem::remove(config / "user-dirs.dirs");
  EXPECT_EQ(DefaultSnapshotFolder(), home / "Pictures" / "Quorvel");
  qvtest::WriteFile(config / "user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
  EXPECT_EQ(DefaultSnapshotFolder(), home / "Bilder" / "Quorvel");
  EXPECT_EQ(SnapshotFolder(WorkshopSettings{}), home / "Bilder" / "Quorvel");
  WorkshopSettings chosen;
  chosen.snapshotFolder = "/srv/x";
  EXPECT_EQ(SnapshotFolder(chosen), "/srv/x");
  std::filesystem::remove(config / "user-dirs.dirs");
}

}  // namespace
}  // namespace qv::workshop
