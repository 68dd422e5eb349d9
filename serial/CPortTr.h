#pragma once
// Texts of the port component pass through the translation domain "cport";
// without a catalogue the text comes back unchanged.
#include <QString>

inline constexpr const char* kCPortDomain = "cport";

QString CPortTr(const char* text);

// Loads the catalogue of the "cport" domain for the user's locale, if one is
// installed, and registers it with the application. Returns whether one was found.
bool InstallCPortTranslations();
